#include "cli/commandline.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/itemreadout.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>

#include <climits>
#include <cstring>
#include <memory>

// A command: its name, its synopsis (untranslated: names of the command and
// its options), its line in the usage, its help, and whether it needs a
// (windowless) painting platform.
struct CommandLineEntry
{
    const char *name;
    const char *synopsis;
    const char *summary;
    const char *help;
    bool paints;
};
using Command = CommandLineEntry;

namespace {

const char *const Context = "CommandLine";

const Command Table[] = {
    {"list", "list [--json]", QT_TRANSLATE_NOOP("CommandLine", "the kept items, one line each"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Lists the kept items, one line each, the fields separated by tabs: id, group, name, unit, "
                       "readings, mean, minimum, maximum, standard deviation, rule and verdict (pass or fail). The "
                       "figures leave overloads out, in the item's unit; \"-\" stands for none.\n\n"
                       "Options:\n"
                       "  --json    a JSON array of the same, one object per item"),
     false},
    {"show", "show ITEM [--json]",
     QT_TRANSLATE_NOOP("CommandLine", "one item's statistics, limits, verdict and details"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Shows an item as the Statistics tab does: its figures with and without overloads, its "
                       "limits, the verdict with each rule, and its inspection details.\n\n"
                       "Options:\n"
                       "  --json    a JSON object instead"),
     false},
    {"import", "import FILE... [--name NAME]",
     QT_TRANSLATE_NOOP("CommandLine", "readings files (.xls, .xlsx, .csv) as new items"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Imports readings files (.xls, .xlsx, .csv), each as a new item, by the rules of Import in "
                       "the window: a row that cannot be read is refused and counted, never taken as 0. Prints each "
                       "new item's id, name and number of readings. Waits a moment for the window when it keeps the "
                       "measurements, and then gives up.\n\n"
                       "Options:\n"
                       "  --name NAME    the new item's name (one file only); otherwise \"Import\" and a number"),
     false},
    {"export", "export ITEM -o FILE",
     QT_TRANSLATE_NOOP("CommandLine", "an item's readings as .xls, .xlsx or .csv"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Writes an item's readings as a classic workbook (.xls), a workbook (.xlsx) or CSV (.csv), "
                       "by the suffix of the file's name.\n\n"
                       "Options:\n"
                       "  -o, --output FILE    the file to write"),
     false},
    {"report", "report ITEM -o FILE.pdf", QT_TRANSLATE_NOOP("CommandLine", "an item's PDF report"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Writes an item's PDF report: its histogram, chart, figures, verdict and readings; the "
                       "inspection report when the item has inspection details or limits.\n\n"
                       "Options:\n"
                       "  -o, --output FILE.pdf    the file to write"),
     true},
    {"summary", "summary -o FILE.pdf", QT_TRANSLATE_NOOP("CommandLine", "the summary of all items as a PDF file"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Writes the summary of every item that has readings as a PDF file: a row per item with its "
                       "figures, rule and verdict, and the counts of passed and failed items.\n\n"
                       "Options:\n"
                       "  -o, --output FILE.pdf    the file to write"),
     true},
    {"convert", "convert IN OUT", QT_TRANSLATE_NOOP("CommandLine", "a readings file into another format"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Reads the readings file IN (.xls, .xlsx, .csv) as Import does and writes its readings in "
                       "the format of OUT's suffix (.xls, .xlsx, .csv). The kept items are not touched."),
     false},
    {"check", "check ITEM", QT_TRANSLATE_NOOP("CommandLine", "whether an item passes its rule"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Judges an item by its rule and prints the verdict and each failed rule. Exit status 0 when "
                       "it passes, 1 when it fails, 3 when it has no limits or no rule."),
     false},
    {"sync", "sync", QT_TRANSLATE_NOOP("CommandLine", "one sync with the team database"),
     QT_TRANSLATE_NOOP("CommandLine",
                       "Syncs once with the team database set in Options: sends this installation's changed items "
                       "and fetches the others'. Prints what was sent and fetched. The password comes from "
                       "~/.pgpass or the environment variable PGPASSWORD."),
     false},
};

const Command *commandNamed(const QString &name)
{
    for (const Command &command : Table) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QtMessageHandler qtMessages = nullptr;

// The offscreen platform asks for the per-user runtime folder, which jobs
// started by cron lack; Qt then makes one of its own, and its warning about
// that would only be mail from cron.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtMessages(type, context, message);
}

} // namespace

// The texts and the parsing of the command line.
class CommandLineRunner
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    static QString usage();
    static QString commandUsage(const Command &command);
    static int usageError(const QString &message, const QString &command = QString());
    static int runCommand(const Command &command, const QStringList &arguments);
    // The language of the locale's messages, when the program speaks it.
    static QString messageLanguage();

private:
    static QString itemNote();
    static QString statusNote();
};

QString CommandLineRunner::itemNote()
{
    return tr("ITEM is an item's id, its name, or \"group/name\" (such as \"Live Data/Deck 3\"), as \"vk508m list\" "
              "shows them.");
}

QString CommandLineRunner::statusNote()
{
    return tr("Exit status: 0 done; 1 a failed check or sync; 2 wrong usage; 3 a missing item, limits or readings; "
              "4 a file that cannot be read or written; 5 the measurements file is in use or damaged.");
}

QString CommandLineRunner::usage()
{
    QVector<QStringList> rows;
    for (const Command &command : Table)
        rows << QStringList{QStringLiteral("  ") + QLatin1String(command.synopsis),
                            QCoreApplication::translate(Context, command.summary)};
    rows << QStringList{QStringLiteral("  --help"), tr("this help; \"vk508m COMMAND --help\" helps with a command")}
         << QStringList{QStringLiteral("  --version"), tr("the program's name and version")};
    return tr("Usage: vk508m [COMMAND [ARGUMENTS]]") + QStringLiteral("\n\n")
        + tr("Without a command the window opens. A command does its job without a window:") + QLatin1Char('\n')
        + alignedRows(rows) + QLatin1Char('\n') + itemNote() + QLatin1Char('\n') + statusNote() + QLatin1Char('\n');
}

QString CommandLineRunner::commandUsage(const Command &command)
{
    QString text = tr("Usage: vk508m %1").arg(QLatin1String(command.synopsis)) + QStringLiteral("\n\n")
        + QCoreApplication::translate(Context, command.help) + QLatin1Char('\n');
    if (QByteArray(command.synopsis).contains("ITEM"))
        text += QLatin1Char('\n') + itemNote() + QLatin1Char('\n');
    return text;
}

int CommandLineRunner::usageError(const QString &message, const QString &command)
{
    Console::error(message);
    Console::error(command.isEmpty() ? tr("\"vk508m --help\" shows the commands.")
                                     : tr("\"vk508m %1 --help\" shows its usage.").arg(command));
    return ExitUsage;
}

QString CommandLineRunner::messageLanguage()
{
    const QString first = QLocale::system().uiLanguages().value(0);
    return first.startsWith(QLatin1String("zh")) ? QStringLiteral("zh_CN") : QString();
}

int CommandLineRunner::runCommand(const Command &command, const QStringList &arguments)
{
    const QString name = QLatin1String(command.name);
    const QString synopsis = QLatin1String(command.synopsis);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("FILE"));
    const QCommandLineOption itemName(QStringLiteral("name"), QString(), QStringLiteral("NAME"));
    parser.addOption(help);
    if (synopsis.contains(QLatin1String("--json")))
        parser.addOption(json);
    if (synopsis.contains(QLatin1String("-o ")))
        parser.addOption(output);
    if (synopsis.contains(QLatin1String("--name")))
        parser.addOption(itemName);
    // The parser skips the first argument, the program's.
    if (!parser.parse(QStringList{QStringLiteral("vk508m")} + arguments))
        return usageError(parser.errorText(), name);
    if (parser.isSet(help)) {
        Console::out(commandUsage(command));
        return ExitSuccess;
    }
    const QStringList args = parser.positionalArguments();
    const bool needsOutput = synopsis.contains(QLatin1String("-o "));
    const QString file = needsOutput ? parser.value(output) : QString();
    if (needsOutput && file.isEmpty())
        return usageError(tr("Name the file to write with -o FILE."), name);

    // How many arguments each command takes.
    int least = synopsis.contains(QLatin1String("ITEM")) || name == QLatin1String("import") ? 1 : 0;
    int most = synopsis.contains(QLatin1String("ITEM")) ? 1 : 0;
    if (name == QLatin1String("convert"))
        least = most = 2;
    if (name == QLatin1String("import"))
        most = INT_MAX;
    if (args.size() < least)
        return usageError(tr("Too few arguments: vk508m %1").arg(synopsis), name);
    if (args.size() > most)
        return usageError(tr("Too many arguments: vk508m %1").arg(synopsis), name);

    if (name == QLatin1String("list"))
        return Commands::list(parser.isSet(json));
    if (name == QLatin1String("show"))
        return Commands::show(args.at(0), parser.isSet(json));
    if (name == QLatin1String("import")) {
        const QString given = parser.isSet(itemName) ? parser.value(itemName) : QString();
        if (parser.isSet(itemName) && args.size() > 1)
            return usageError(tr("--name names one item: give one file with it."), name);
        if (parser.isSet(itemName) && given.trimmed().isEmpty())
            return usageError(tr("--name needs a name."), name);
        return Commands::import(args, given);
    }
    if (name == QLatin1String("export"))
        return Commands::exportReadings(args.at(0), file);
    if (name == QLatin1String("report"))
        return Commands::report(args.at(0), file);
    if (name == QLatin1String("summary"))
        return Commands::summary(file);
    if (name == QLatin1String("convert"))
        return Commands::convert(args.at(0), args.at(1));
    if (name == QLatin1String("check"))
        return Commands::check(args.at(0));
    return Commands::sync();
}

namespace CommandLine {

bool isCommand(int argc, char **argv)
{
    if (argc < 2)
        return false;
    const char *first = argv[1];
    return first[0] != '-' || std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0
        || std::strcmp(first, "--version") == 0;
}

int run(int &argc, char **argv, const std::function<void(const QString &language)> &installCatalogs)
{
    const QString first = QString::fromLocal8Bit(argv[1]);
    const Command *command = commandNamed(first);
    std::unique_ptr<QCoreApplication> app;
    qtMessages = qInstallMessageHandler(quietMessages);
    if (command && command->paints) {
        // Fonts and the PDF writer need a platform, not a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app.reset(new QGuiApplication(argc, argv));
    } else {
        app.reset(new QCoreApplication(argc, argv));
    }
    // The per-user folders are named after the application.
    QCoreApplication::setApplicationName(QStringLiteral("vk508m"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VK_VERSION));
    installCatalogs(CommandLineRunner::messageLanguage());

    QStringList arguments = QCoreApplication::arguments().mid(1);
    arguments.removeFirst();
    if (first == QLatin1String("--version")) {
        Console::out(QStringLiteral("vk508m %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitSuccess;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        Console::out(CommandLineRunner::usage());
        return ExitSuccess;
    }
    if (!command)
        return CommandLineRunner::usageError(CommandLineRunner::tr("\"%1\" is no command.").arg(first));
    return CommandLineRunner::runCommand(*command, arguments);
}

} // namespace CommandLine
