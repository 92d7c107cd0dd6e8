#pragma once

#include "data/itemlimits.h"
#include "exchange/pdfreport.h"

#include <QCoreApplication>
#include <QDate>

class ItemData;
struct ItemSummary;

// The texts of an item's PDF report, gathered from the item without a
// window.
class ItemReport
{
    Q_DECLARE_TR_FUNCTIONS(ItemReport)

public:
    // An item with inspection details or limits gets the inspection
    // report; any other the report of the pictures and the table alone.
    static bool isInspection(const ItemData &item);

    // The summary's figures and its limits and verdict, with the rule's
    // reference under the rule.
    static ReportSummary summary(const ItemSummary &summary, const ItemLimits &limits);

    // The heading (project, structure and area, the date of the readings
    // or, without timed readings, today), the "Inspection" block with the
    // details that are set, and the block to sign on.
    static ReportInspection inspection(const ItemData &item, const QDate &today);

    // What a rule refers to, in a line; empty without a rule.
    static QString ruleReference(AcceptanceRule rule);

    // "Inspector" with the name on its line, "Date" and "Signature".
    static QVector<QStringList> signatureRows(const QString &inspector);
};
