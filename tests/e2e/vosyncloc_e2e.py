#!/usr/bin/env python3
"""End-to-end tests of the vosyncloc binary.

Usage: VOSYNCLOC_VERSION=X.Y.Z vosyncloc_e2e.py BINARY FIXTURE_DIR

VOSYNCLOC_VERSION is the version the binary must report (the CMake project version).

FIXTURE_DIR holds the answering relocation library libvorelocations.so.0, which moves
the standard directories into a per-case temporary tree; its sibling "nosymbol" holds
the fixture that loads without exporting the entry point. The suite runs inside a
private mount namespace (see in_private_mounts: as root a plain one, as any other user
within a user namespace of its own) where /etc, /usr/bin and /usr/lib/x86_64-linux-gnu
are overlays (to place the pointer file and the default-layout products) and /dev is a
tmpfs holding a few device nodes and a datagram socket at /dev/log that receives the
tool's system-log messages. The machine's own directories are never changed.

Exits 77 (skipped) when no private mount namespace can be had.
"""

import errno
import json
import os
import re
import resource
import shlex
import shutil
import socket
import stat
import subprocess
import sys
import tempfile

import yaml

SKIP = 77

KEYS = [
    "kaironDir", "kaironLibraryDir", "runtimeDir", "persistDir", "configBinary",
    "daemonBinary", "daemonPidFile", "persistentTsmJson", "runtimeTsmJson",
    "timeReferenceDir", "timeKeeperDir", "servoDir", "votsmdLogFile", "vokaironcli",
    "gpsMetaDataFile",
]

HELP = (
    "Print out various VO-Sync / VO-Kairon file and directory locations:\n"
    "  --help                produce help message\n"
    "  --json                output in JSON format\n"
    "  --location arg        install location directory or file path\n"
    "  --version             print version information\n"
    "  --explain             show how each location was worked out\n"
    "  --shell               output as shell assignments\n"
    "  --root arg            answer for the system image in this directory\n"
    "\n")
VERSION = f"vosyncloc {os.environ.get('VOSYNCLOC_VERSION')}\n"

TWICE = "option '--location' cannot be specified more than once\n"
POINTER_FILE = "/etc/morvane/share/share.dir"
DEFAULT_SHARED = "/usr/local/morvane/share"  # the shared directory without a pointer file
MULTIARCH = "/usr/lib/x86_64-linux-gnu"
PRODUCT = MULTIARCH + "/vo-kairon"  # the product directory under the built-in directories
LOG_USER_WARNING = 8 | 4


# ---------------------------------------------------------------------------------
# Setting up the namespace

def in_private_mounts(argv):
    """The command line that runs `argv` in a mount namespace of its own, whose mounts
    reach no other. Root gets a plain mount namespace. Any other user gets a user
    namespace too, in which it is root (its own uid and gid mapped to 0) and so may
    mount; files of every other owner, the machine's root's among them, show there as
    nobody's, which it may read as anyone may but not change. The mounts are made private
    inside (private_scratch): unshare's own --propagation private needs `/` to be a mount
    point, which in a chroot, such as autopkgtest's unshare testbed, it is not."""
    user = [] if os.geteuid() == 0 else ["--user", "--map-root-user"]
    return ["unshare", *user, "--mount", "--propagation", "unchanged", *argv]


def private_mounts_unavailable():
    """Why in_private_mounts cannot run anything here, or None."""
    if subprocess.run(in_private_mounts(["true"]), stderr=subprocess.DEVNULL).returncode:
        if os.geteuid() == 0:
            return "no private mount namespace available"
        return "no user namespace with a private mount namespace available"
    return None


def only_root_mapped():
    """Whether this process runs in a user namespace whose only user is root, as
    in_private_mounts makes for any other user: no file can be given to another owner."""
    with open("/proc/self/uid_map") as f:
        ranges = [line.split() for line in f]
    return len(ranges) == 1 and ranges[0][0] == "0" and ranges[0][2] == "1"


def run_checked(*argv):
    subprocess.run(argv, check=True)


def private_scratch(scratch, name):
    """In the namespace of in_private_mounts: makes its mounts private and mounts a tmpfs
    called `name` on `scratch`, an empty directory. Where `/` is no mount point (a chroot)
    the mount that holds it cannot be named nor made private; mounts made here stay here
    only if it passes none to the namespace this one was copied from, so the tmpfs must not
    show there, or the run stops as skipped before anything else is mounted."""
    rooted = subprocess.run(["mount", "--make-rprivate", "/"],
                            stderr=subprocess.DEVNULL).returncode == 0
    run_checked("mount", "-t", "tmpfs", name, scratch)
    if not rooted:
        with open(f"/proc/{os.getppid()}/mountinfo") as f:
            if any(line.split()[4] == os.path.realpath(scratch) for line in f):
                run_checked("umount", scratch)
                print("skipped: / is no mount point and its mount passes mounts on")
                sys.exit(SKIP)


def overlay(target, scratch, name, writable=()):
    """Lays a writable overlay over `target`; writes land in `scratch`/name. New entries
    may go into `target` and into the subdirectories of it named in `writable`: each is
    laid in the upper layer first, with the mode it has below, so that it is this
    process's rather than the machine's, which a root mapped in a user namespace could
    not add to."""
    upper, work = os.path.join(scratch, name + "-up"), os.path.join(scratch, name + "-work")
    os.makedirs(upper)
    os.makedirs(work)
    for subdirectory in writable:
        parts = subdirectory.split("/")
        for depth in range(1, len(parts) + 1):
            below = os.path.join(target, *parts[:depth])
            laid = os.path.join(upper, *parts[:depth])
            if not os.path.isdir(laid):
                os.mkdir(laid)
                os.chmod(laid, stat.S_IMODE(os.stat(below).st_mode))
    run_checked("mount", "-t", "overlay", "overlay", "-o",
                f"lowerdir={target},upperdir={upper},workdir={work}", target)


def private_dev(scratch):
    """Replaces /dev by a tmpfs holding only the device nodes the runs use."""
    # Each node is held by a mount of its own first: /dev as a whole cannot be bound
    # without its submounts in a user namespace.
    real = os.path.join(scratch, "real-dev")
    os.makedirs(real)
    nodes = ("null", "full", "zero", "urandom", "random")
    for node in nodes:
        open(os.path.join(real, node), "w").close()
        run_checked("mount", "--bind", os.path.join("/dev", node), os.path.join(real, node))
    # Not sticky and world-writable, as a tmpfs is by default: there, opening a node of
    # another owner with O_CREAT fails, and to a root mapped in a user namespace the nodes
    # are nobody's.
    run_checked("mount", "-t", "tmpfs", "-o", "mode=0755", "vosyncloc-e2e-dev", "/dev")
    for node in nodes:
        open(os.path.join("/dev", node), "w").close()
        run_checked("mount", "--bind", os.path.join(real, node), os.path.join("/dev", node))
    os.symlink("/proc/self/fd", "/dev/fd")


def set_up_namespace(scratch):
    """Mounts everything a case may change over `scratch`, an empty directory."""
    private_scratch(scratch, "vosyncloc-e2e")
    overlay("/etc", scratch, "etc")
    overlay("/usr/bin", scratch, "bin")
    overlay(MULTIARCH, scratch, "multiarch")
    private_dev(scratch)
    cases = os.path.join(scratch, "cases")
    os.makedirs(cases)
    return cases


# ---------------------------------------------------------------------------------
# One case's file system

def touch(path):
    with open(path, "w") as f:
        f.write("x")


def remove(path):
    """Removes a file, link, socket or whole directory, if there is one."""
    if os.path.isdir(path) and not os.path.islink(path):
        shutil.rmtree(path)
    elif os.path.lexists(path):
        os.unlink(path)


def reset_machine_paths():
    """Removes what earlier cases placed in the overlays."""
    for path in ("/etc/morvane", PRODUCT, "/usr/bin/votsmd",
                 "/usr/bin/vokaironcli"):
        remove(path)


def write_pointer_file(content):
    os.makedirs(os.path.dirname(POINTER_FILE), exist_ok=True)
    with open(POINTER_FILE, "wb") as f:
        f.write(content if isinstance(content, bytes) else content.encode())


def fill(template, names, escape=False):
    """Replaces each "{name}" by its value in `names` (regex-escaped with `escape`)."""
    for name, value in names.items():
        template = template.replace("{" + name + "}", re.escape(value) if escape else value)
    return template


def lay_out(files, names=None, root="/"):
    """Lays out a tree, this machine's (its overlays) or an image's under `root`: each
    path ("{name}" stands for its value in the dict `names`) becomes "dir", "file",
    "fifo", "sparse" (a 1 GiB file of holes), "link:TARGET" (also filled), "absent", or
    else a file of that text. What was there first is removed."""
    names = names or {}
    for template, kind in files.items():
        path = os.path.join(root, fill(template, names).lstrip("/"))
        remove(path)
        if kind == "absent":
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if kind == "dir":
            os.makedirs(path)
        elif kind == "fifo":
            os.mkfifo(path)
        elif kind.startswith("link:"):
            os.symlink(fill(kind[len("link:"):], names), path)
        else:
            with open(path, "w") as f:
                f.write("x" if kind in ("file", "sparse") else kind)
            if kind == "sparse":
                os.truncate(path, 1 << 30)


class Tree:
    """A temporary tree that the relocation fixture makes the standard directories."""

    def __init__(self, root):
        self.root = root
        self.multiarch = root + "/lib/x86_64-linux-gnu"
        self.bin = root + "/usr/bin"
        self.run = root + "/run"
        self.etc = root + "/etc"
        self.varlib = root + "/var/lib"
        self.var = root + "/var"
        self.shared = root + "/share"
        self.product = self.multiarch + "/vo-kairon"
        for d in (self.multiarch, self.bin, self.shared):
            os.makedirs(d)
        write_pointer_file(self.shared + "/\n")

    def answers(self, **overrides):
        """Writes the fixture's answer file and returns its path."""
        names = {"multiarchlibdir": self.multiarch, "bindir": self.bin,
                 "runstatedir": self.run, "sysconfdir": self.etc,
                 "sharedstatedir": self.varlib, "localstatedir": self.var}
        names.update(overrides)
        path = self.root + ".answers"
        with open(path, "wb") as f:
            for name, answer in names.items():
                escaped = answer.replace("\\", "\\\\").replace("\n", "\\n")
                f.write(f"{name}={escaped}\n".encode("utf-8", "surrogateescape"))
        return path


# ---------------------------------------------------------------------------------
# Expected listings, from the layout rules

def standard_listing(multiarch, bindir, run, varlib, var, daemon):
    product = multiarch.rstrip("/") + "/vo-kairon"
    values = {
        "kaironDir": product, "kaironLibraryDir": multiarch.rstrip("/"),
        "runtimeDir": run + "/vo-kairon", "persistDir": varlib + "/vo-kairon",
        "configBinary": product + "/configgen", "daemonBinary": daemon,
        "daemonPidFile": run + "/votsmd.pid",
        "persistentTsmJson": varlib + "/vo-kairon/tsm.json",
        "runtimeTsmJson": run + "/vo-kairon/runtime_tsm.json",
        "timeReferenceDir": product + "/timereferences",
        "timeKeeperDir": product + "/timekeepers", "servoDir": product + "/servos",
        "votsmdLogFile": var + "/log/votsmd.log", "vokaironcli": bindir + "/vokaironcli",
        "gpsMetaDataFile": varlib + "/vo-kairon/position.json",
    }
    return [(k, values[k]) for k in KEYS]


def legacy_listing(shared, run, varlib, var, client, daemon):
    kairon = shared + "/Kairon"
    values = {
        "kaironDir": kairon, "kaironLibraryDir": kairon,
        "runtimeDir": run + "/morvane/Kairon", "persistDir": kairon,
        "configBinary": kairon + "/Config/configGen", "daemonBinary": daemon,
        "daemonPidFile": run + "/votsmd.pid", "persistentTsmJson": kairon + "/tsm.json",
        "runtimeTsmJson": run + "/morvane/Kairon/runtime_tsm.json",
        "timeReferenceDir": kairon + "/TimeReferences",
        "timeKeeperDir": kairon + "/TimeKeepers", "servoDir": kairon + "/Servos",
        "votsmdLogFile": var + "/log/votsmd.log", "vokaironcli": client,
        "gpsMetaDataFile": varlib + "/vo-kairon/position.json",
    }
    return [(k, values[k]) for k in KEYS]


def tree_standard(t, daemon=None):
    return standard_listing(t.multiarch, t.bin, t.run, t.varlib, t.var,
                            daemon or t.bin + "/votsmd")


def tree_legacy(t, client=None, daemon=None):
    return legacy_listing(t.shared, t.run, t.varlib, t.var,
                          client or t.shared + "/Kairon/vokaironcli",
                          daemon or t.shared + "/Kairon/votsmd")


def text_of(listing):
    return "".join(f"{k}={p}\n" for k, p in listing)


def json_of(listing):
    return "{\n" + ",\n".join(f'"{k}":"{p}"' for k, p in listing) + "\n}\n"


# ---------------------------------------------------------------------------------
# Running the tool

class Run:
    def __init__(self, status, out, err, log):
        self.status, self.out, self.err, self.log = status, out, err, log


class SyslogListener:
    """A datagram socket at /dev/log, as the system logger offers it."""

    def __enter__(self):
        remove("/dev/log")
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        self.sock.bind("/dev/log")
        return self

    def messages(self):
        self.sock.setblocking(False)
        found = []
        while True:
            try:
                found.append(self.sock.recv(65536))
            except BlockingIOError:
                return found

    def __exit__(self, *exc):
        self.sock.close()
        remove("/dev/log")


SYSLOG_LINE = re.compile(rb"^<(\d+)>[A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d ([^:]+): (.*)$", re.S)


class Suite:
    def __init__(self, binary, fixture_dir, cases_dir):
        self.binary = binary
        self.fixture_dir = fixture_dir
        self.cases_dir = cases_dir
        self.count = 0
        self.failures = []

    def tree(self):
        self.count += 1
        return Tree(os.path.join(self.cases_dir, str(self.count)))

    def run(self, args, answers=None, stdout=subprocess.PIPE, closed=(),
            stdin=subprocess.DEVNULL, fixture_dir=None, program=None, extra_env=None,
            max_files=None):
        """Runs the tool, or `program` (such as a shell running it), with `args`, with
        the descriptors in `closed` closed and at most `max_files` descriptors open."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("LD_LIBRARY_PATH", "VORELOC_ANSWERS", "VORELOC_LOG")}
        env.update(extra_env or {})
        if answers is not None:
            env["LD_LIBRARY_PATH"] = fixture_dir or self.fixture_dir
            env["VORELOC_ANSWERS"] = answers

        def prepare():
            for fd in closed:
                os.close(fd)
            if max_files is not None:
                resource.setrlimit(resource.RLIMIT_NOFILE, (max_files, max_files))
        with SyslogListener() as listener:
            done = subprocess.run(
                [program or self.binary] + args, env=env, stdin=stdin, stdout=stdout,
                stderr=subprocess.PIPE, timeout=60,
                preexec_fn=prepare if closed or max_files is not None else None)
            log = listener.messages()
        return Run(done.returncode, done.stdout or b"", done.stderr, log)

    def check(self, condition, what):
        if not condition:
            raise AssertionError(what)

    def expect(self, run, out, err="", status=0, log=()):
        """Exact standard output and error, exit status, and system-log messages."""
        out_bytes = out if isinstance(out, bytes) else out.encode("utf-8", "surrogateescape")
        self.check(run.out == out_bytes, f"stdout {run.out!r}, expected {out_bytes!r}")
        self.check(run.err == err.encode(), f"stderr {run.err!r}, expected {err!r}")
        self.check(run.status == status, f"status {run.status}, expected {status}")
        self.expect_log(run, log)

    def expect_log(self, run, messages):
        got = self.logged(run)
        self.check(got == list(messages), f"system log {got}, expected {list(messages)}")

    def logged(self, run):
        """The run's system-log messages, each checked for priority and identity."""
        got = []
        for datagram in run.log:
            match = SYSLOG_LINE.match(datagram.rstrip(b"\0\n"))
            self.check(match, f"unexpected system-log datagram {datagram!r}")
            self.check(int(match.group(1)) == LOG_USER_WARNING,
                       f"priority {match.group(1)} in {datagram!r}")
            self.check(match.group(2) == os.path.basename(self.binary).encode(),
                       f"identity in {datagram!r}")
            got.append(match.group(3).decode())
        return got

    def expect_failure(self, run, err_line):
        """Exit 1, nothing on stdout, one given line on stderr, nothing logged."""
        self.expect(run, "", err_line, 1)

    def case(self, function):
        name = function.__name__
        reset_machine_paths()
        try:
            function(self)
            print(f"ok - {name}")
        except Exception as error:  # report every kind of failure and go on
            print(f"not ok - {name}\n    {error}")
            self.failures.append(name)


# ---------------------------------------------------------------------------------
# The cases

DEFAULTS_STANDARD = standard_listing(MULTIARCH, "/usr/bin", "/var/run", "/var/lib", "/var",
                                     "/usr/bin/votsmd")


def default_shared_listing(t):
    return legacy_listing(DEFAULT_SHARED, t.run, t.varlib, t.var,
                          DEFAULT_SHARED + "/Kairon/vokaironcli", DEFAULT_SHARED + "/Kairon/votsmd")


STANDARD_WARNINGS = [
    "vosysq::get_multiarchlibdir() failed", "vosysq::get_bindir() failed",
    "vosysq::get_runstatedir() failed", "vosysq::get_sysconfdir() failed",
    "vosysq::get_sharedstatedir() failed", "vosysq::get_sharedstatedir() failed",
    "vosysq::get_runstatedir() failed", "vosysq::get_bindir() failed",
    "vosysq::get_localstatedir() failed", "vosysq::get_sharedstatedir() failed",
]

LEGACY_WARNINGS = [
    "vosysq::get_multiarchlibdir() failed", "vosysq::get_bindir() failed",
    "vosysq::get_runstatedir() failed", "vosysq::get_sysconfdir() failed",
    "vosysq::get_sharedstatedir() failed", "vosysq::get_runstatedir() failed",
    "vosysq::get_bindir() failed", "vosysq::get_localstatedir() failed",
    "vosysq::get_sharedstatedir() failed",
]


# The layouts of this machine. Each row: what to lay out (lay_out's vocabulary, "{attr}"
# an attribute of the case's Tree), the relocation answers (the Tree's, with these
# overrides; None: no relocation library), the listing expected, and the warnings every
# run logs. Each row is checked as the text and JSON listings and every key's query, as
# a bare word and with --location.
LAYOUT_ROWS = [
    ("standard layout", {"{product}": "dir", "{bin}/votsmd": "file"}, {}, tree_standard, []),
    ("legacy layout", {}, {}, tree_legacy, []),
    ("product a regular file: standard layout", {"{product}": "file", "{bin}/votsmd": "file"},
     {}, tree_standard, []),
    ("product a dangling link: legacy layout", {"{product}": "link:{root}/missing"}, {},
     tree_legacy, []),
    ("multiarch a regular file: legacy layout", {"{multiarch}": "file"}, {}, tree_legacy, []),
    ("legacy layout keeps the client in the bindir", {"{bin}/vokaironcli": "file"}, {},
     lambda t: tree_legacy(t, client=t.bin + "/vokaironcli"), []),
    ("standard layout without the daemon takes it from the shared directory",
     {"{product}": "dir"}, {}, lambda t: tree_standard(t, daemon=t.shared + "/Kairon/votsmd"),
     []),
    ("a trailing slash on multiarch is dropped from the library directory",
     {"{product}": "dir", "{bin}/votsmd": "file"}, {"multiarchlibdir": "{multiarch}/"},
     tree_standard, []),
    ("no relocation library: the built-in directories",
     {PRODUCT: "dir", "/usr/bin/votsmd": "file"}, None,
     lambda t: DEFAULTS_STANDARD, []),
    ("a negative answer falls back, in the standard layout",
     {PRODUCT: "dir", "/usr/bin/votsmd": "file"}, {"runstatedir": "@negative"},
     lambda t: DEFAULTS_STANDARD, STANDARD_WARNINGS),
    ("a negative answer falls back, in the legacy layout", {}, {"bindir": "@negative"},
     lambda t: legacy_listing(t.shared, "/var/run", "/var/lib", "/var",
                              t.shared + "/Kairon/vokaironcli", t.shared + "/Kairon/votsmd"),
     LEGACY_WARNINGS),
    # The default shared directory, also for a pointer file that is a FIFO (which must not
    # block the lookup) or a sparse 1 GiB file (which must not be read into memory).
    ("no pointer file", {POINTER_FILE: "absent"}, {}, default_shared_listing, []),
    ("a FIFO as pointer file", {POINTER_FILE: "fifo"}, {}, default_shared_listing, []),
    ("a sparse pointer file", {POINTER_FILE: "sparse"}, {}, default_shared_listing, []),
]


def layouts_give_their_listings_and_queries(s):
    for name, files, overrides, listing_of, warnings in LAYOUT_ROWS:
        reset_machine_paths()
        t = s.tree()
        lay_out(files, vars(t))
        answers = None
        if overrides is not None:
            answers = t.answers(**{k: fill(v, vars(t)) for k, v in overrides.items()})
        listing = listing_of(t)
        try:
            s.expect(s.run([], answers), text_of(listing), log=warnings)
            s.expect(s.run(["--json"], answers), json_of(listing), log=warnings)
            for key, path in listing:
                for args in ([key], ["--location", key]):
                    s.expect(s.run(args, answers), path + "\n", log=warnings)
        except AssertionError as error:
            raise AssertionError(f"{name}: {error}") from None


def help_wins_and_computes_nothing(s):
    """Help first, then the version; neither computes a location."""
    t = s.tree()
    answers = t.answers(bindir="@negative")  # any location record would log warnings
    s.expect(s.run(["--help"], answers), HELP)
    s.expect(s.run(["--json", "--help", "--location", "runtimeDir"], answers), HELP)
    s.expect(s.run(["noSuchKey", "--h"], answers), HELP)
    s.expect(s.run(["--version", "--help"], answers), HELP)
    s.expect(s.run(["--version"], answers), VERSION)
    s.expect(s.run(["--json", "noSuchKey", "--v"], answers), VERSION)


def query_wins_over_json(s):
    t = s.tree()
    answers = t.answers()
    runtime = t.run + "/morvane/Kairon\n"
    s.expect(s.run(["--json", "--location", "runtimeDir"], answers), runtime)
    s.expect(s.run(["runtimeDir", "--json"], answers), runtime)


def option_forms(s):
    t = s.tree()
    answers = t.answers()
    pid = t.run + "/votsmd.pid\n"
    for args in (["daemonPidFile"], ["--location=daemonPidFile"], ["--loc", "daemonPidFile"],
                 ["--l=daemonPidFile"]):
        s.expect(s.run(args, answers), pid)
    s.expect(s.run(["--j"], answers), json_of(tree_legacy(t)))


def command_line_errors(s):
    t = s.tree()
    answers = t.answers()
    s.expect_failure(s.run(["runtimeDir", "kaironDir"], answers), TWICE)
    s.expect_failure(s.run(["runtimeDir", "--location", "kaironDir"], answers), TWICE)
    s.expect_failure(s.run(["--bogus"], answers), "unrecognised option '--bogus'\n")
    s.expect_failure(s.run(["--version=1"], answers),
                     "option '--version' does not take any arguments\n")
    s.expect_failure(s.run(["--location"], answers),
                     "the required argument for option '--location' is missing\n")


def unknown_keys(s):
    """No key but the fifteen; the error line shows any key on one line, as printable."""
    t = s.tree()
    answers = t.answers()
    for key, shown in [(key, key) for key in ("RuntimeDir", "runtime", "configDir",
                                             "syncConfigFile", "caf\u00e9\\x")] + [
            ("a\nb\x1b[2J", "a\\nb\\x1b[2J"), (b"\xc2\x85\xe2\x80\xae\xff", "\\u0085\\u202e\\xff"),
            ("runtimeDir\u200b", "runtimeDir\\u200b")]:
        s.expect_failure(s.run([key], answers), f"invalid location {shown}\n")


def probe_failure_ends_the_run(s):
    t = s.tree()
    os.symlink(t.product, t.product)
    run = s.run([], t.answers())
    expected = ("boost::filesystem::status: " + os.strerror(errno.ELOOP) +
                f': "{t.product}"\n')
    s.expect_failure(run, expected)
    odd = t.root + "/m\n\x1b[31m"  # its message stays one line, with no terminal control
    os.makedirs(odd)
    os.symlink(odd + "/vo-kairon", odd + "/vo-kairon")
    for args in ([], ["--explain"]):
        s.expect_failure(s.run(args, t.answers(multiarchlibdir=odd)),
                         expected.replace(t.product, t.root + "/m\\n\\x1b[31m/vo-kairon"))


def special_bytes_in_paths_stay_valid_json(s):
    t = s.tree()
    # The C1 controls, U+2028, U+2029, U+FFFE and U+FFFF are escaped for YAML readers.
    odd = t.root + '/q"b\\s\nn\tc\x01d\x7fe\u00e9\u0085\u009b\u2028\ufffe\U0001fffe'
    answers = t.answers(runstatedir=odd + "/run", sharedstatedir=odd + "/lib",
                        bindir=odd + "/bin")
    write_pointer_file(odd + "/share\n")
    run = s.run(["--json"], answers)
    s.check(run.status == 0 and run.err == b"", f"status {run.status}, stderr {run.err!r}")
    s.check(run.out.count(b"\n") == 17, f"not seventeen lines: {run.out!r}")
    parsed = json.loads(run.out)
    expected = legacy_listing(odd + "/share", odd + "/run", odd + "/lib",
                              t.var, odd + "/share/Kairon/vokaironcli",
                              odd + "/share/Kairon/votsmd")
    s.check(list(parsed.items()) == expected, f"parsed {parsed}")
    s.check(yaml.safe_load(run.out) == parsed, f"read otherwise as YAML: {run.out!r}")
    s.expect(s.run(["runtimeDir"], answers), odd + "/run/morvane/Kairon\n")
    # Bytes that are not UTF-8 fail only the JSON forms, before anything is written.
    write_pointer_file(b"/srv/bad\xff\x85\n")
    for args in (["--json"], ["--explain", "--json"]):
        s.expect_failure(s.run(args, answers), "the path of kaironDir is not valid UTF-8, which a "
                         "JSON string cannot hold; the text listing, --shell and --explain carry "
                         "any byte\n")
    s.expect(s.run(["kaironDir"], answers), b"/srv/bad\xff\x85/Kairon\n")
    decisions = s.run(["--explain"], answers).out.split(b"\n\n")[0].decode()
    s.check("/srv/bad\\xff\\x85" in decisions and  # one line each: no raw 0x85 left to split at
            len(decisions.encode().decode("latin-1").splitlines()) == decisions.count("\n") + 1,
            f"decisions {decisions!r}")


def nul_in_shared_dir_stays_valid_json(s):
    t = s.tree()
    answers = t.answers()
    write_pointer_file(b"/srv/a\0b\n")
    run = s.run(["--json"], answers)
    s.check(run.status == 0, f"status {run.status}")
    s.check(json.loads(run.out)["kaironDir"] == "/srv/a\0b/Kairon", f"stdout {run.out!r}")


def full_standard_output_fails(s):
    t = s.tree()
    answers = t.answers()
    with open("/dev/full", "wb") as full:
        for args in ([], ["--json"], ["runtimeDir"], ["--help"]):
            s.expect_failure(s.run(args, answers, stdout=full),
                             "vosyncloc: write error: No space left on device\n")


# The relocation library logs before main (prefixdir is asked first), then bindir's
# answer fails, so that every query logs a warning too.
LOGGING_THEN_FAILING = {"prefixdir": "@syslog", "bindir": "@negative"}
LOGGED_BEFORE_MAIN = ["relocation fixture: asked about prefixdir"] + LEGACY_WARNINGS


def closed_standard_output_fails(s):
    """The system log's socket must not take the closed descriptor's place, not even when
    the relocation library opens it before main."""
    t = s.tree()
    run = s.run([], t.answers(**LOGGING_THEN_FAILING), stdout=None, closed=(1,))
    s.expect(run, "", "vosyncloc: write error: Bad file descriptor\n", 1,
             log=LOGGED_BEFORE_MAIN)


def closed_standard_output_without_dev_null_fails(s):
    """Without /dev/null the closed descriptor must still not become the log's socket."""
    t = s.tree()
    run_checked("mount", "-t", "tmpfs", "vosyncloc-e2e-bare-dev", "/dev")  # no null in it
    try:
        run = s.run([], t.answers(**LOGGING_THEN_FAILING), stdout=None, closed=(1,),
                    stdin=subprocess.PIPE)
    finally:
        run_checked("umount", "/dev")
    s.expect(run, "", "vosyncloc: write error: Bad file descriptor\n", 1,
             log=LOGGED_BEFORE_MAIN)


def foreign_code_never_reaches_the_result(s):
    """What the relocation library writes to standard output never reaches the result,
    and closing it there never redirects the result, not even into the log's socket."""
    t = s.tree()
    listing = tree_legacy(t)
    writing = t.answers(prefixdir="@stdout")
    s.expect(s.run(["runtimeDir"], writing), dict(listing)["runtimeDir"] + "\n")
    s.expect(s.run(["--json"], writing), json_of(listing))
    fallen_back = legacy_listing(t.shared, "/var/run", "/var/lib", "/var",
                                 t.shared + "/Kairon/vokaironcli", t.shared + "/Kairon/votsmd")
    s.expect(s.run([], t.answers(prefixdir="@close-stdout")), text_of(fallen_back),
             log=LEGACY_WARNINGS)
    # Nothing that the library leaves behind writes after the result, changes the status,
    # holds the process or faults: not even a handler that ends the process or never returns.
    for late in ("@atexit", "@thread", "@on-exit", "@on-exit-stays", "@atexit-never-returns"):
        s.expect(s.run(["runtimeDir"], t.answers(prefixdir=late)),
                 dict(listing)["runtimeDir"] + "\n")
    s.expect_failure(s.run(["nosuchkey"], t.answers(prefixdir="@on-exit-stays")),
                     "invalid location nosuchkey\n")
    for end in ("@exit", "@quick-exit"):
        s.expect_failure(s.run(["runtimeDir"], t.answers(prefixdir=end)),
                         "vosyncloc: the relocation library ended the process (exit status 0) "
                         "before the result was written\n")
    s.expect(s.run(["runtimeDir"], t.answers(prefixdir="@_exit")), "")  # cannot be caught
    # No descriptor left to set standard output aside: still held from the library, and
    # the run fails for the real reason.
    s.expect_failure(s.run(["runtimeDir"], t.answers(prefixdir="@stdout"), max_files=4),
                     "vosyncloc: write error: Too many open files\n")


def fifo_at_dev_null_never_blocks(s):
    """A broken /dev with a FIFO at /dev/null must not hold the start, whichever standard
    descriptor is closed; a closed standard output still fails the run."""
    t = s.tree()
    answers = t.answers()
    runtime = dict(tree_legacy(t))["runtimeDir"] + "\n"
    run_checked("mount", "-t", "tmpfs", "vosyncloc-e2e-fifo-dev", "/dev")
    try:
        os.mkfifo("/dev/null")
        runs = [s.run(["runtimeDir"], answers, stdin=subprocess.PIPE, closed=(fd,),
                      stdout=None if fd == 1 else subprocess.PIPE) for fd in (0, 1, 2)]
    finally:
        run_checked("umount", "/dev")
    s.expect(runs[0], runtime)
    s.expect(runs[1], "", "vosyncloc: write error: Bad file descriptor\n", 1)
    s.expect(runs[2], runtime)


def silent_relocation_answer_is_an_empty_path(s):
    """Success without an answer written reads as empty, not as leftover heap bytes."""
    t = s.tree()
    s.expect(s.run(["votsmdLogFile"], t.answers(localstatedir="@silent")),
             "log/votsmd.log\n")


# ---------------------------------------------------------------------------------
# --explain

ODD_SHARED = '/srv/q"b\\s\nn\tc\x01\u00e9'  # shown escaped, yet on one line
UNICODE_BREAKS = "/srv/a\u0085b\u2028c\u009b2J\u00a0d\u2027\u2029e\u202ef\u2066g\u061ch"
EVERY_QUERY_FAILS = r", code -52006\): every standard directory query fails$"

# One row per situation: what to lay out (lay_out's vocabulary; "{attr}" is an attribute
# of the case's Tree, "{default}" DEFAULT_SHARED and "{pointer}" POINTER_FILE), the
# relocation answers (None: no relocation library; "nosymbol": the fixture without its
# entry point), then what the explanation must say: members of its "relocation" object, steps
# that must appear in this order (the members given), and patterns that some decision
# line of the text form must match.
EXPLAIN_ROWS = [
    ("standard layout, relocated or not, daemon found",
     {"{product}": "dir", "{bin}/votsmd": "file"}, {"sysconfdir": "@zero"},
     {"loaded": True, "found": True, "message": None, "failed": None, "tableCode": 0},
     [("query", "multiarchlibdir", "{multiarch}", "relocated"),
      ("probe", "productDir", "{product}", "directory"),
      ("layout", "standard", "productDirFound"),
      ("query", "sysconfdir", "/etc", "builtInDefault"),
      ("probe", "daemonBinary", "{bin}/votsmd", "regularFile")],
     [r"^relocation +libvorelocations\.so\.0 +loaded$", r"^relocation +get_relocated_dir +found$",
      r"^query +multiarchlibdir +{multiarch} +relocated$",
      r"^probe +product directory +{product} +directory$",
      r"^layout +standard +product directory found$",
      r"^query +sysconfdir +/etc +built-in default$"]),
    ("legacy layout, client in the bindir, daemon missing", {"{bin}/vokaironcli": "file"}, {},
     {"failed": None},
     [("probe", "productDir", "{product}", "notFound"),
      ("layout", "legacy", "productDirNotFound"),
      ("query", "shared", "{shared}", "pointerFile",
       {"pointerFile": POINTER_FILE, "read": "{shared}/\n"}),
      ("probe", "clientBinary", "{bin}/vokaironcli", "regularFile"),
      ("probe", "daemonBinary", "{bin}/votsmd", "notFound"),
      ("query", "shared", "{shared}", "pointerFile")],
     [r"^layout +legacy +product directory not found$",
      r'^query +shared +{shared} +read from {pointer}: "{shared}/\\n"$',
      r"^probe +daemon binary +{bin}/votsmd +not found$"]),
    ("product directory a FIFO, daemon a directory",
     {"{product}": "fifo", "{bin}/votsmd": "dir"}, {}, {},
     [("probe", "productDir", "{product}", "fifo"), ("layout", "standard", "productDirFound"),
      ("probe", "daemonBinary", "{bin}/votsmd", "directory")],
     [r"^probe +product directory +{product} +FIFO$"]),
    ("no relocation library", {}, None,
     {"loaded": False, "found": False, "failed": None, "tableCode": 0,
      "message": "libvorelocations.so.0: cannot open shared object file: "
                 "No such file or directory"},
     [("query", "multiarchlibdir", MULTIARCH, "builtInDefault")],
     [r"^relocation +libvorelocations\.so\.0 +not loaded: libvorelocations\.so\.0: cannot open",
      r"^relocation +get_relocated_dir +not looked for$"]),
    ("relocation library without its entry point", {}, "nosymbol",
     {"loaded": True, "found": False, "failed": None},
     [("query", "bindir", "/usr/bin", "builtInDefault")],
     [r"^relocation +get_relocated_dir +not found: .*undefined symbol: get_relocated_dir$"]),
    ("negative answer", {}, {"runstatedir": "@negative"},
     {"failed": {"name": "runstatedir", "answer": -1, "reason": "refused"}, "tableCode": -52006},
     [("query", "multiarchlibdir", MULTIARCH, "fallback",
       {"code": -52006, "detail": "", "warning": "vosysq::get_multiarchlibdir() failed"}),
      ("query", "bindir", "/usr/bin", "fallback", {"warning": "vosysq::get_bindir() failed"})],
     [r"^relocation +runstatedir +refused \(answer -1" + EVERY_QUERY_FAILS,
      r"^query +bindir +/usr/bin +fallback after code -52006, "
      r'logged "vosysq::get_bindir\(\) failed"$']),
    ("unterminated answer", {}, {"bindir": "@unterminated"},
     {"failed": {"name": "bindir", "answer": 1, "reason": "unterminated"}},
     [("query", "sysconfdir", "/etc", "fallback", {"code": -52006})],
     [r"^relocation +bindir +answered without a NUL within 255 bytes \(answer 1" +
      EVERY_QUERY_FAILS]),
    ("pointer file missing", {POINTER_FILE: "absent"}, {}, {},
     [("query", "shared", DEFAULT_SHARED, "pointerFileNotFound",
       {"code": -52006, "errno": errno.ENOENT, "error": os.strerror(errno.ENOENT)})],
     [r"^query +shared +{default} +default: {pointer} "
      r"not found \(code -52006, errno 2, No such file or directory\)$"]),
    ("pointer file empty once trimmed", {POINTER_FILE: " /\n"}, {}, {},
     [("query", "shared", "", "emptyPointerFile", {"read": " /\n"})],
     [r'^query +shared +"" +read from {pointer}: " /\\n", '
      r"empty once trimmed$"]),
    ("pointer file a directory", {POINTER_FILE: "dir"}, {}, {},
     [("query", "shared", DEFAULT_SHARED, "pointerFileUnreadable",
       {"code": -52008, "errno": errno.EISDIR})],
     [r"^query +shared +{default} +default: {pointer} "
      r"unreadable \(code -52008, errno 21, Is a directory\)$"]),
    ("pointer file cut short, as sysfs files are",  # a size of 4096, a few bytes to read
     {POINTER_FILE: "link:/sys/devices/system/cpu/online"}, {}, {},
     [("query", "shared", DEFAULT_SHARED, "pointerFileUnreadable",
       {"code": -52008, "errno": 0, "error": "", "fileSize": 4096})],
     [r"^query +shared +{default} +default: {pointer} "
      r"unreadable \(code -52008, short read: \d+ of 4096 bytes\)$"]),
    ("pointer file a FIFO", {POINTER_FILE: "fifo"}, {}, {},
     [("query", "shared", DEFAULT_SHARED, "pointerFileUnreadable",
       {"code": -52008, "errno": errno.ESPIPE})], []),
    ("odd bytes in the pointer file", {POINTER_FILE: ODD_SHARED + "/\n"}, {}, {},
     [("query", "shared", ODD_SHARED, "pointerFile", {"read": ODD_SHARED + "/\n"})],
     [r'^query +shared +/srv/q"b\\\\s\\nn\\tc\\x01\u00e9 +read from .*: "/srv/q\\"b']),
    # NEL, LINE SEPARATOR, CSI and PARAGRAPH SEPARATOR, beside NBSP and U+2027 (kept), and
    # the bidirectional RIGHT-TO-LEFT OVERRIDE, LEFT-TO-RIGHT ISOLATE and ARABIC LETTER MARK
    ("Unicode line breaks, C1 and bidirectional controls in the pointer file",
     {POINTER_FILE: UNICODE_BREAKS + "\n"}, {}, {},
     [("query", "shared", UNICODE_BREAKS, "pointerFile")],
     [r'^query +shared +/srv/a\\u0085b\\u2028c\\u009b2J\u00a0d\u2027\\u2029e\\u202ef\\u2066g'
      r'\\u061ch +read from .*: "/srv/a\\u0085b\\u2028c\\u009b2J\u00a0d\u2027\\u2029e'
      r'\\u202ef\\u2066g\\u061ch\\n"$']),
]


def expected_step(values, step):
    kind, rest = step[0], [fill(x, values) if isinstance(x, str) else x for x in step[1:]]
    names = {"query": ("directory", "path", "source"), "probe": ("probe", "path", "type"),
             "layout": ("layout", "reason")}[kind]
    members = {"step": kind, **dict(zip(names, rest))}
    if len(rest) > len(names):
        members.update({k: fill(v, values) if isinstance(v, str) else v
                        for k, v in rest[-1].items()})
    return members


def check_explanation(s, names, how, relocation, steps, patterns):
    """The explanation of one situation, against the listings of the same situation."""
    plain, plain_json = s.run([], **how), s.run(["--json"], **how)
    text, doc_run = s.run(["--explain"], **how), s.run(["--explain", "--json"], **how)
    for run in (text, doc_run):
        s.check(run.status == plain.status == 0 and run.err == b"", f"status {run.status}")
        s.expect_log(run, s.logged(plain))
    s.check(text.out.endswith(b"\n" + plain.out), f"not ending with the listing: {text.out!r}")
    decisions = text.out[:-len(plain.out) - 1].decode().splitlines()  # as Unicode splits
    doc = json.loads(doc_run.out)
    s.check(list(doc["locations"].items()) == list(json.loads(plain_json.out).items()),
            f"locations {doc['locations']}")
    for name, value in relocation.items():
        s.check(doc["relocation"][name] == value, f"relocation {doc['relocation']}")
    found = iter(doc["steps"])
    for step in steps:
        want = expected_step(names, step)
        s.check(any(want.items() <= got.items() for got in found), f"no step {want} in order")
    extra = 3 if doc["relocation"]["failed"] else 2
    s.check(len(decisions) == extra + len(doc["steps"]), f"one line per decision: {decisions}")
    for pattern in patterns:
        s.check(any(re.match(fill(pattern, names, escape=True), line) for line in decisions),
                f"no line matches {pattern!r} in {decisions}")


def explain_names_every_source(s):
    """--explain runs as the listing does and says where each decision came from."""
    nosymbol = os.path.join(os.path.dirname(s.fixture_dir), "nosymbol")
    for name, files, answers, relocation, steps, patterns in EXPLAIN_ROWS:
        reset_machine_paths()
        t = s.tree()
        names = {**vars(t), "default": DEFAULT_SHARED, "pointer": POINTER_FILE}
        lay_out(files, names)
        how = {}
        if answers is not None:
            how["answers"] = t.answers(**({} if answers == "nosymbol" else answers))
        if answers == "nosymbol":
            how["fixture_dir"] = nosymbol
        try:
            check_explanation(s, names, how, relocation, steps, patterns)
        except AssertionError as error:
            raise AssertionError(f"{name}: {error}") from None


def explain_with_a_key_and_precedence(s):
    """A key ends the explanation as the query would; help and version still come first."""
    t = s.tree()
    answers = t.answers()
    listing = tree_legacy(t)
    runtime = dict(listing)["runtimeDir"] + "\n"
    full = s.run(["--e"], answers)
    decisions = full.out[:-len(text_of(listing))]
    s.expect(s.run(["--explain", "runtimeDir"], answers), decisions + runtime.encode())
    keyed = s.run(["--location=runtimeDir", "--json", "--explain"], answers)
    doc = json.loads(keyed.out)
    s.check(doc["query"] == {"key": "runtimeDir", "path": runtime[:-1]}, f"query {doc}")
    s.check(list(doc["locations"].items()) == listing, f"locations {doc['locations']}")
    s.expect_failure(s.run(["--explain", "noSuchKey"], answers), "invalid location noSuchKey\n")
    os.symlink(t.product, t.product)  # a probe that fails fails the explanation too
    s.expect_failure(s.run(["--explain", "--json"], answers), s.run([], answers).err.decode())
    failing = t.answers(bindir="@negative")  # any location record would log warnings
    s.expect(s.run(["--explain", "--help"], failing), HELP)
    s.expect(s.run(["--e", "--version", "--json"], failing), VERSION)
    s.expect_failure(s.run(["--explain=1"], failing),
                     "option '--explain' does not take any arguments\n")


# ---------------------------------------------------------------------------------
# --shell

# The bytes a shell treats specially, each in a path of its own and all in one; two try
# to break out of the quotes and run a command in the case's directory. Every path is
# valid UTF-8 and valid Shift_JIS (the kanji's last byte leads a Shift_JIS character,
# which the "b" after it completes), but the last: there a quote follows the kanji, and
# yash, which refuses what its locale cannot decode, fails to evaluate it in Shift_JIS.
SHELL_BYTES = [" ", "'", "''", '"', "$HOME", "`id`", "\\", "\n", "\t", "\x01\x7f",
               "'$(touch pwned)'", "'`touch pwned`'\\'", "caf\u00e9 \u6642"]
SHELL_BYTES.append("".join(SHELL_BYTES))
NOT_SHIFT_JIS = "\u6642'$(touch pwned)'"
SHELL_BYTES.append(NOT_SHIFT_JIS)
SHELL_AND_JSON = "option '--shell' cannot be used with option '--json'\n"
# Every POSIX shell Debian packages, each in UTF-8 and in Shift_JIS, where yash reads the
# byte of a backslash as a yen sign.
SHELLS = [["dash"], ["bash"], ["bash", "--posix"], ["zsh"], ["mksh"], ["posh"], ["yash"],
          ["busybox", "sh"], ["ksh93"]]
LOCALES = ["C.UTF-8", "ja_JP.SJIS"]
RS = "\x1e"  # ends each printed value: the format holds no backslash, in no path


def shift_jis_locales(s):
    """A directory for LOCPATH holding ja_JP.SJIS, generated once."""
    locales = os.path.join(os.path.dirname(s.cases_dir), "locales")
    if not os.path.isdir(locales):
        os.makedirs(locales)
        run_checked("localedef", "--no-warnings=ascii", "-f", "SHIFT_JIS", "-i", "ja_JP",
                    locales + "/ja_JP.SJIS")
    return locales


def eval_script(tool, root):
    """Evaluates the listing, prints every variable, then the same for one query."""
    printed = f"printf '%s{RS}'"
    return (f"cd {shlex.quote(root)} && out=$({tool} --shell) && eval \"$out\" && {printed}" +
            "".join(f' "${key}"' for key in KEYS) +
            f' && one=$({tool} --s runtimeDir) && runtimeDir= && eval "$one"'
            f' && {printed} "$runtimeDir"')


def shell_assignments_evaluate_to_the_paths(s):
    """Evaluating --shell in every shell and locale sets each key's variable to its path,
    byte for byte, and runs nothing."""
    locales = shift_jis_locales(s)
    for odd in SHELL_BYTES:
        t = s.tree()
        base = f"{t.root}/a{odd}b"
        write_pointer_file(base + "/share\n")  # trimmed at its ends only
        answers = t.answers(runstatedir=base + "/run", sharedstatedir=base + "/lib",
                            localstatedir=base + "/var")
        expected = legacy_listing(base + "/share", base + "/run", base + "/lib", base + "/var",
                                  base + "/share/Kairon/vokaironcli",
                                  base + "/share/Kairon/votsmd")
        listing = s.run(["--json"], answers)
        s.check(list(json.loads(listing.out).items()) == expected, f"{odd!r}: {listing.out!r}")
        script = eval_script(shlex.quote(s.binary), t.root)
        values = [path for _, path in expected] + [dict(expected)["runtimeDir"]]
        want = "".join(value + RS for value in values).encode("utf-8", "surrogateescape")
        for shell in SHELLS:
            for locale in LOCALES:
                run = s.run(shell[1:] + ["-c", script], answers, program=shell[0],
                            extra_env={"LC_ALL": locale, "LOCPATH": locales})
                where = f"{' '.join(shell)} in {locale}, {odd!r}"
                if (odd, shell, locale) == (NOT_SHIFT_JIS, ["yash"], "ja_JP.SJIS"):
                    s.check(run.out == b"" and run.status != 0, f"{where}: evaluated")
                else:
                    s.check((run.out, run.err, run.status) == (want, b"", 0),
                            f"{where}: {run.out!r}, {run.err!r}, status {run.status}")
                s.check(not os.path.exists(t.root + "/pwned"), f"{where}: a command ran")
    t = s.tree()
    s.expect_failure(s.run(["--json", "--shell", "--help"], t.answers(bindir="@negative")),
                     SHELL_AND_JSON)
    write_pointer_file(b"/srv/a\0b\n")
    answers = t.answers()
    for args, key in ((["--shell"], "kaironDir"), (["--s", "persistDir"], "persistDir")):
        s.expect_failure(s.run(args, answers), f"the path of {key} holds a NUL byte, which a "
                         "shell variable cannot hold\n")
    s.expect(s.run(["--explain", "--shell"], answers), s.run(["--explain"], answers).out)


# An image (--root) answers from its own files only. Each row: what the image holds
# (lay_out's vocabulary, "{out}" a directory outside it that holds a pointer file and a
# product directory), the arguments after --root IMAGE, and the standard output or, for
# a failure, "!" and the error line ("{img}" the image). The machine itself has the
# standard layout, a pointer file and a relocation library that answers otherwise: none
# of it may show.
def image_legacy(shared, client=None):
    return text_of(legacy_listing(shared, "/var/run", "/var/lib", "/var",
                                  client or shared + "/Kairon/vokaironcli",
                                  shared + "/Kairon/votsmd"))


IMAGE_ROWS = [
    ({PRODUCT: "dir", "/usr/bin/votsmd": "file", POINTER_FILE: "/opt/share\n"}, [],
     text_of(DEFAULTS_STANDARD)),
    ({PRODUCT: "dir", "/usr/bin/votsmd": "file"}, ["--json"], json_of(DEFAULTS_STANDARD)),
    ({POINTER_FILE: "/opt/share\n", "/usr/bin/vokaironcli": "file"}, [],
     image_legacy("/opt/share", "/usr/bin/vokaironcli")),
    ({POINTER_FILE: "/opt/share\n"}, ["--shell", "runtimeDir"],
     "runtimeDir='/var/run/morvane/Kairon'\n"),
    # The pointer file and the probes are read through the image's view: links resolve
    # inside it (the view's own tests hold every kind of file and link).
    ({POINTER_FILE: "link:/srv/pointer", "/srv/pointer": "/srv/share"}, ["persistDir"],
     "/srv/share/Kairon\n"),
    ({PRODUCT: "link:{out}/kairon"}, ["kaironDir"], DEFAULT_SHARED + "/Kairon\n"),
    # An error inside the image says so.
    ({PRODUCT: "link:vo-kairon"}, ["kaironDir"],
     '!in the image {img}: boost::filesystem::status: Too many levels of symbolic links: '
     '"' + PRODUCT + '"\n'),
    # A relocation library that the image's loader would load cannot be answered for
    # without running it, and neither can a loader cache that is not understood.
    ({"/usr/lib/libvorelocations.so.0": "file"}, ["runtimeDir"],
     "!the image {img} holds the relocation library /usr/lib/libvorelocations.so.0, whose "
     "answers only running it can give: use chroot {img} vosyncloc\n"),
    ({"/etc/ld.so.cache": "ld.so-1.7.0"}, ["runtimeDir"],
     "!in the image {img}: /etc/ld.so.cache is not a dynamic loader cache in the format read "
     "here, so whether its loader finds the relocation library libvorelocations.so.0 cannot "
     "be told\n"),
]


def image_roots_answer_from_their_own_files(s):
    t = s.tree()  # the machine's own pointer file, and the relocation answers
    os.makedirs(PRODUCT)
    answers = t.answers()
    out = os.path.join(s.cases_dir, "outside")
    lay_out({"/kairon": "dir", "/pointer": out + "/leaked\n"}, root=out)
    for number, (files, args, expected) in enumerate(IMAGE_ROWS):
        img = os.path.join(s.cases_dir, f"image{number}")
        lay_out(files, {"out": out}, root=img)
        run = s.run(["--root", img] + args, answers)
        expected = expected.replace("{img}", img)
        try:
            if expected.startswith("!"):
                s.expect_failure(run, expected[1:])
            else:
                s.expect(run, expected)
        except AssertionError as error:
            raise AssertionError(f"row {number} {files} {args}: {error}")


def image_root_edges(s):
    """A bad root fails naming it; "/" is this machine; the help and version ignore it."""
    t = s.tree()
    answers = t.answers()
    missing, regular = t.root + "/missing", t.root + "/regular"
    touch(regular)
    s.expect_failure(s.run(["--root", missing], answers),
                     f"invalid root {missing}: No such file or directory\n")
    s.expect_failure(s.run(["--root", regular, "runtimeDir"], answers),
                     f"invalid root {regular}: Not a directory\n")
    for args in ([], ["--json"], ["--explain"], ["--shell", "runtimeDir"]):
        plain = s.run(args, answers)
        s.expect(s.run(["--root", "/"] + args, answers), plain.out.decode(
            "utf-8", "surrogateescape"), plain.err.decode(), plain.status, s.logged(plain))
    s.expect(s.run(["--root", missing, "--help"], answers), HELP)
    s.expect(s.run(["--root", missing, "--version"], answers), VERSION)
    img = t.root + "/image"
    lay_out({PRODUCT: "dir"}, root=img)
    run = s.run(["--root", img, "--explain", "kaironDir"], answers)
    text = run.out.decode()
    # This machine's relocation library ran before main; its answers are not the image's.
    s.check(text.startswith(f"root        image                  {img}\n"
                            "relocation  libvorelocations.so.0  loaded\n"
                            "relocation  get_relocated_dir      found\n"
                            "relocation  answers                not used: they are this "
                            "machine's, not the image's\n"), f"explanation {text!r}")
    s.check("probe       product directory      " + PRODUCT + "  directory\n" in text,
            f"explanation {text!r}")
    explained = json.loads(s.run(["--root", img, "--explain", "--json"], answers).out)
    relocation = explained["relocation"]
    s.check(explained["root"] == img and relocation["loaded"] and
            relocation["answersUsed"] is False, f"JSON {explained}")


CASES = [
    layouts_give_their_listings_and_queries,
    help_wins_and_computes_nothing,
    query_wins_over_json,
    option_forms,
    command_line_errors,
    unknown_keys,
    probe_failure_ends_the_run,
    special_bytes_in_paths_stay_valid_json,
    nul_in_shared_dir_stays_valid_json,
    full_standard_output_fails,
    closed_standard_output_fails,
    closed_standard_output_without_dev_null_fails,
    silent_relocation_answer_is_an_empty_path,
    foreign_code_never_reaches_the_result,
    fifo_at_dev_null_never_blocks,
    explain_names_every_source,
    explain_with_a_key_and_precedence,
    shell_assignments_evaluate_to_the_paths,
    image_roots_answer_from_their_own_files,
    image_root_edges,
]


# ---------------------------------------------------------------------------------
# Entry points

def inside(binary, fixture_dir, scratch):
    suite = Suite(binary, fixture_dir, set_up_namespace(scratch))
    for case in CASES:
        suite.case(case)
    failed = len(suite.failures)
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "--inside":
        return inside(*sys.argv[2:])
    if len(sys.argv) != 3 or not os.environ.get("VOSYNCLOC_VERSION"):
        print(__doc__, file=sys.stderr)
        return 2
    binary, fixture_dir = (os.path.abspath(a) for a in sys.argv[1:])
    unavailable = private_mounts_unavailable()
    if unavailable:
        print(f"skipped: {unavailable}")
        return SKIP
    if not os.path.exists(os.path.join(fixture_dir, "libvorelocations.so.0")):
        print(f"relocation fixture missing in {fixture_dir}", file=sys.stderr)
        return 1
    sys.stdout.flush()
    # The mount point outlives the namespace; what is mounted on it does not.
    scratch = tempfile.mkdtemp(prefix="vosyncloc-e2e-")
    try:
        return subprocess.run(in_private_mounts([sys.executable, os.path.abspath(__file__),
                                                 "--inside", binary, fixture_dir,
                                                 scratch])).returncode
    finally:
        os.rmdir(scratch)


if __name__ == "__main__":
    sys.exit(main())
