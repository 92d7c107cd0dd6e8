#!/usr/bin/python3
"""Packs a build tree (argv: CPACK BUILD_DIR) as a Debian package, unpacks it
and starts the program under Xvfb from another working directory, as a user
who cannot write the program folder. Exits 77 when a tool is missing."""

import glob, os, pwd, shutil, subprocess, sys, tempfile, time

PROGRAM = "usr/lib/vk508m"
SHIPPED = ["usr/bin/vk508m", PROGRAM + "/libdmmapi.so", PROGRAM + "/Software User Manual.pdf",
           PROGRAM + "/translations/qt_zh_CN.qm", "usr/share/applications/vk508m.desktop",
           "usr/share/icons/hicolor/scalable/apps/vk508m.svg", "usr/share/icons/hicolor/48x48/apps/vk508m.png",
           "usr/share/icons/hicolor/256x256/apps/vk508m.png", "usr/share/metainfo/io.github.vk508m.metainfo.xml",
           "usr/share/vk508m/team-schema-1.sql", "lib/udev/rules.d/60-vk508m.rules",
           "usr/share/man/man1/vk508m.1.gz", "usr/share/bash-completion/completions/vk508m"]
LOADED = ["Lib/libsimulatedgauge.so", "zh_CN.qm", "translations/qtbase_zh_CN.qm"]


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)


def wait_for(what, poll, seconds=90):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = poll()
        if result:
            return result
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        return server, ":" + pipe.readline().strip()


def run_program(root, home, env, user):
    """Starts the program, waits for its window, checks what it loaded and closes it."""
    from Xlib import X, display
    from Xlib.protocol import event
    program = os.path.join(root, PROGRAM)
    ids = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if user else {}
    log = tempfile.TemporaryFile("w+")
    process = subprocess.Popen([os.path.join(root, "usr/bin/vk508m")], cwd=home, env=env,
                               stdout=log, stderr=subprocess.STDOUT, **ids)
    try:
        screen = display.Display(env["DISPLAY"])

        def window():
            assert process.poll() is None, "the program ended before its window appeared"
            return next((w for w in screen.screen().root.query_tree().children
                         if (w.get_wm_name() or "").startswith("VK508M")
                         and w.get_attributes().map_state == X.IsViewable), None)

        shown = wait_for("the main window", window)
        with open("/proc/%d/maps" % process.pid) as maps:
            mapped = maps.read()
        for name in LOADED:
            assert os.path.join(program, name) + "\n" in mapped, name + " was not loaded"
        delete = screen.intern_atom("WM_DELETE_WINDOW")
        shown.send_event(event.ClientMessage(window=shown, client_type=screen.intern_atom("WM_PROTOCOLS"),
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        screen.flush()
        assert process.wait(90) == 0, "exit code %d" % process.returncode
    except BaseException:
        process.kill()
        log.seek(0)
        print(log.read())
        raise


def run_command(root, home, env, user):
    """The command line works from the package without a display, and in Chinese."""
    ids = dict(user=user.pw_uid, group=user.pw_gid, extra_groups=[]) if user else {}
    quiet = {k: v for k, v in env.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    program = os.path.join(root, "usr/bin/vk508m")
    version = subprocess.run([program, "--version"], cwd=home, env=quiet, capture_output=True, text=True, **ids)
    assert version.returncode == 0 and version.stdout.startswith("vk508m "), version
    chinese = dict(quiet, LANG="zh_CN.UTF-8", LANGUAGE="zh_CN")
    usage = subprocess.run([program, "--help"], cwd=home, env=chinese, capture_output=True, text=True, **ids)
    assert usage.returncode == 0 and "用法" in usage.stdout, usage


def assert_settings(path):
    text = open(path, encoding="utf-8").read()
    assert "<Language>zh_CN</Language>" in text and "<Geometry></Geometry>" not in text, path + ":\n" + text


def main():
    cpack, build_dir = sys.argv[1:3]
    missing = [tool for tool in ("dpkg-deb", "Xvfb") if not shutil.which(tool)]
    try:
        import Xlib  # noqa: F401
    except ImportError:
        missing.append("python3-xlib")
    if missing:
        print("SKIP: not installed: " + ", ".join(missing))
        return 77

    with tempfile.TemporaryDirectory() as work:
        os.chmod(work, 0o755)
        run(cpack, "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-G", "DEB", "-B", work + "/deb")
        root = work + "/root"
        run("dpkg-deb", "-x", *glob.glob(work + "/deb/*.deb"), root)
        for path in SHIPPED:
            assert os.path.exists(os.path.join(root, path)), path + " is not in the package"
        if shutil.which("desktop-file-validate"):
            run("desktop-file-validate", root + "/usr/share/applications/vk508m.desktop")
        if shutil.which("appstreamcli"):
            run("appstreamcli", "validate", "--no-net", root + "/usr/share/metainfo/io.github.vk508m.metainfo.xml")

        # Root starts the program as "nobody" (who must exist); anyone else as themselves.
        user = pwd.getpwnam("nobody") if os.geteuid() == 0 else None
        home, runtime = work + "/home", work + "/runtime"
        os.mkdir(home, 0o755)
        os.mkdir(runtime, 0o700)
        for path in (home, runtime) if user else ():
            os.chown(path, user.pw_uid, user.pw_gid)
        server, display_name = start_xvfb()
        env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", DISPLAY=display_name)
        env.pop("XDG_CONFIG_HOME", None)
        # A sanitizer build: the X11 and GL libraries, unloaded before the leak report,
        # leave once-per-process blocks no suppression can name. Offscreen tests check our leaks.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        program = os.path.join(root, PROGRAM)
        program_file, user_file = program + "/options.xml", home + "/.config/vk508m/options.xml"
        try:
            with open(program_file, "w") as f:
                f.write("<options><Language>zh_CN</Language></options>\n")
            # The folder is read-only; a writable file in it is rewritten in place.
            os.chmod(program_file, 0o666)
            os.chmod(program, 0o555)
            run_program(root, home, env, user)
            assert_settings(program_file)
            assert not os.path.exists(user_file), "the settings went to the user's folder"
            run_command(root, home, env, user)

            # A read-only file: the settings go to the user's folder.
            os.chmod(program_file, 0o444)
            before = os.stat(program_file).st_mtime_ns
            run_program(root, home, env, user)
            assert_settings(user_file)
            assert os.stat(program_file).st_mtime_ns == before, "the program's own file changed"
        finally:
            os.chmod(program, 0o755)
            server.terminate()
            server.wait()
    print("installed package: window, plug-in, catalogs and settings as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
