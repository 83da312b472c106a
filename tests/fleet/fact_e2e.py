#!/usr/bin/env python3
"""The packaged facts, as Ansible and Facter gather them.

Usage: fact_e2e.py TOOL PACKAGE_ROOT SOURCE_DIR

PACKAGE_ROOT holds the files of the Debian packages as they install them (/ for the
installed packages); TOOL is the tool under test. In a private mount namespace whose /usr and /etc are overlays (the
end-to-end tests' in_private_mounts: as root a plain one, as any other user one within
a user namespace of its own, where the engines run as its root), the two go where the
package puts them (/usr/bin/vosyncloc and /usr/share/vosyncloc), and Ansible and Facter
gather the facts of localhost:
  - each with its fact script linked into a directory given to it (Ansible's fact_path,
    Facter's --external-dir): the fact is the tool's JSON listing in the standard and
    in the legacy layout, and empty ({}, Facter's empty hash) when the tool fails on a
    file-status error, is missing, or never answers; in the last case each script, by
    itself and run by its engine, exits 0 within its time limit (lowered for the test)
    and leaves no process behind;
  - with stand-in tools, each script by itself and run by its engine: a listing is the
    fact even when the tool leaves processes holding its output, and is empty when it
    is not UTF-8 or holds characters YAML readers read otherwise; the time limit given to
    timeout is the default for every value of VOSYNCLOC_FACT_TIMEOUT that is not one;
  - with the system's commands broken, the fact is empty; the commands first on the
    caller's PATH are never run, and TMPDIR is used only where no other user can change it;
  - with the README's playbook (ansible/vosyncloc-fact.yml, shown in the README
    verbatim), which links it into /etc/ansible/facts.d and gathers again, so that a
    later play sees it;
  - with the README's manifest (puppet/vosyncloc-fact.pp, shown there verbatim too),
    applied by puppet, which links the Facter fact into /etc/facter/facts.d, so that
    facter and a later manifest see it.
Needs that namespace, ansible, facter and puppet; exits 77 (skipped) otherwise.
"""

import contextlib
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import vosyncloc_e2e as e2e  # noqa: E402  (the overlays and the layouts' paths)

SHARE = "/usr/share/vosyncloc"
ANSIBLE_FACT = SHARE + "/ansible/vosyncloc.fact"
FACTER_FACT = SHARE + "/puppet/vosyncloc.fact"
TOOL = "/usr/bin/vosyncloc"

# A vosyncloc that never answers: deaf to SIGTERM, and with a child that holds its output
# open, as a tool blocked in a library it loaded might have. It writes down both ids.
HANGING_TOOL = """#!/bin/sh
trap '' TERM
sleep 1000 &
echo $$ $! >>{pids}
wait
"""
# The fact scripts' time limit for the hanging tool, in seconds, and how long a script or
# a gathering may take then: far more than the limit and the 2 s before SIGKILL, for a
# slow machine; far less than the forever of an unbounded script.
LIMIT = {"VOSYNCLOC_FACT_TIMEOUT": "1"}
BOUND = 60

# A vosyncloc that prints the listing in the file {listing} and exits; and one that also
# leaves two processes holding its output, one in its process group and one in a session
# of its own, out of reach of a signal to that group, and writes down their ids.
LISTING_TOOL = "#!/bin/sh\ncat {listing}\n"
LINGERING_TOOL = LISTING_TOOL + """sleep 1000 &
echo $! >>{pids}
setsid sleep 1000 &
echo $! >>{pids}
"""
# Stand-ins, what they print, and the fact that gives: the listing when Ansible (JSON)
# and Facter (YAML first) read it alike, else the empty fact.
STAND_INS = [
    (LINGERING_TOOL, b'{"runtimeDir":"/run/vo-kairon"}', {"runtimeDir": "/run/vo-kairon"}),
    (LISTING_TOOL, b'{"runtimeDir":"/caf\xc3\xa9\xc2\xa0\xf0\x9f\x98\x80"}',
     {"runtimeDir": "/caf\xe9\xa0\U0001f600"}),
    (LISTING_TOOL, b'{"runtimeDir":"/bad\xff"}', {}),  # not UTF-8
    (LISTING_TOOL, b'{"runtimeDir":"/bad\xc2\x85"}', {}),  # NEL, a space to YAML
    (LISTING_TOOL, b'{"runtimeDir":"/bad\xe2\x80\xa8"}', {}),  # LINE SEPARATOR
    (LISTING_TOOL, b'{"runtimeDir":"/bad\xef\xbf\xbf"}', {}),  # refused by YAML
    (LISTING_TOOL, b'{"runtimeDir":"/bad\x7f\x00"}', {}),  # raw controls
]

# VOSYNCLOC_FACT_TIMEOUT and the limit in seconds that the tool is given then, as a
# timeout in /usr/local/bin writes its arguments down to {record}.
LIMITS = [("", "10"), ("0", "10"), ("-1", "10"), ("abc", "10"), ("inf", "10"),
          ("--help", "10"), ("99999999999999999999", "10"), ("3601", "10"),
          ("3600", "3600"), ("7", "7")]
# The system's commands broken; the fact is {} in time, no byte left in TMPDIR: a tool
# printing a list or >1 MiB, helpers hung or as if missing (127), mktemp's result swapped
# for a link.
LOCAL = "/usr/local/bin/"
SWAP = 'm=$(/usr/bin/mktemp "$@")\nmv "$m" "$m.gone"\nln -s "$TMPDIR%s" "$m"\necho "$m"'
HOSTILE = [(TOOL, "echo '[1,2]'"), (TOOL, """printf '{"a":"/%01048576d"}' 0"""),
           (LOCAL + "iconv", "sleep 1000"), (LOCAL + "mktemp", SWAP % ""),
           (LOCAL + "mktemp", SWAP % "/f"),
           *((LOCAL + helper, "exit 127") for helper in ("grep", "iconv", "timeout", "rm"))]
RECORDING = """#!/bin/sh
echo "{line}" >>{record}
exec /usr/bin/{name} "$@"
"""
# What the caller's PATH offers first, to be ignored: every command the facts run.
CALLERS = ("vosyncloc", "readlink", "id", "find", "mktemp", "rm", "timeout", "grep", "iconv")
# TMPDIR's mode, and whether the fact may make its directory there: only where no other
# user can rename or add a name.
TMPDIRS = [(0o700, True), (0o755, True), (0o770, False), (0o777, False), (0o1777, False)]


class Engine:
    """Runs one engine's commands in `home`, unaffected by the machine's configuration."""

    def __init__(self, home, **env):
        self.home = home
        self.env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": home,
                    "LC_ALL": "C.UTF-8", **env}

    def run(self, *argv, env=None, timeout=300, statuses=(0,)):
        """The finished command, checked to end within `timeout` s in one of `statuses`."""
        try:
            done = subprocess.run(argv, env={**self.env, **(env or {})}, cwd=self.home,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{' '.join(argv)}: still running after {timeout} s")
        assert done.returncode in statuses, \
            f"{' '.join(argv)}: status {done.returncode}\n{done.stdout}{done.stderr}"
        return done

    @property
    def empty_output(self):
        """What the script prints for the empty fact."""
        return self.output % "{}"

    def linked(self, name):
        """A directory `name` in `home` that holds a link to this engine's fact script."""
        fact_dir = os.path.join(self.home, name)
        os.makedirs(fact_dir, exist_ok=True)
        e2e.remove(fact_dir + "/vosyncloc.fact")
        os.symlink(self.script, fact_dir + "/vosyncloc.fact")
        return fact_dir


class Ansible(Engine):
    name, script, output = "Ansible", ANSIBLE_FACT, "%s\n"

    def __init__(self, home):
        config = os.path.join(home, "ansible.cfg")
        open(config, "w").close()
        # Its temporary files go to `home` too, not to the machine's home directory.
        # The interpreter named, not discovered: discovery costs every run a round trip.
        super().__init__(home, ANSIBLE_CONFIG=config,
                         ANSIBLE_PYTHON_INTERPRETER="/usr/bin/python3",
                         ANSIBLE_HOME=home, ANSIBLE_REMOTE_TMP=home + "/tmp")

    def fact(self, **run):
        """The fact as `ansible -m setup` gathers it from a directory holding its link.
        Only the local facts: on a host with facter, setup also runs facter, and so the
        Facter fact once /etc/facter/facts.d holds it."""
        out = self.run("ansible", "localhost", "-c", "local", "-i", "localhost,", "-m", "setup",
                       "-a", f"fact_path={self.linked('facts.d')} gather_subset=!all,!min,local "
                       "filter=ansible_local", **run).stdout
        # localhost | SUCCESS => {...}
        return json.loads(out.split(" => ", 1)[1])["ansible_facts"]["ansible_local"]["vosyncloc"]


class Facter(Engine):
    name, script, output = "Facter", FACTER_FACT, '{"vosyncloc": %s}\n'

    def fact(self, **run):
        """The fact as facter resolves it from a directory holding its link; None if there
        is no such fact."""
        out = self.run("facter", "--external-dir", self.linked("facter.d"), "--json",
                       "vosyncloc", **run).stdout
        return json.loads(out)["vosyncloc"]


class Puppet(Engine):
    """puppet apply, its settings, state and reports in `home`, not in /etc and /var."""

    def __init__(self, home):
        super().__init__(home)
        self.settings = [f"--{name}={home}/puppet-{name}" for name in
                         ("confdir", "codedir", "vardir", "logdir", "rundir", "publicdir",
                          "ssldir")]
        # Run as root, puppet gives those directories to its service user, whom a user
        # namespace that maps root alone cannot name: there they stay root's.
        if e2e.only_root_mapped():
            self.settings += ["--user=root", "--group=root"]

    def apply(self, *args, env=None):
        # Status 2 is for changes made; a resource that failed gives 4 or 6 (with plain
        # apply, 0).
        return self.run("puppet", "apply", "--detailed-exitcodes", *self.settings, *args,
                        env=env, statuses=(0, 2))


class FactSuite(e2e.Suite):
    """The end-to-end suite's case runner (case() resets the product's paths, runs a case
    and reports it), with the engines and the source tree. Its run() is not for here: that
    needs the end-to-end tests' private /dev."""

    def __init__(self, home, source):
        super().__init__(TOOL, None, home)
        self.home, self.source = home, source
        self.ansible, self.facter, self.puppet = Ansible(home), Facter(home), Puppet(home)
        self.engines = [self.ansible, self.facter]


def tool(*args):
    return subprocess.run([TOOL, *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)


@contextlib.contextmanager
def tool_replaced(script, path=TOOL):
    """`path` (the tool) as the shell script `script`, or missing for None; what was there
    again afterwards."""
    real = path + ".real"
    had = os.path.lexists(path)
    if had:
        os.rename(path, real)
    try:
        if script is not None:
            with open(path, "w") as f:
                f.write(script)
            os.chmod(path, 0o755)
        yield
    finally:
        e2e.remove(path)
        if had:
            os.rename(real, path)


def running(pid):
    """Whether process `pid` is running: a zombie has ended, only not been waited for."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def left_running(pids):
    """Those of `pids` still running after a while: a process sent SIGKILL is gone as soon
    as it is next scheduled, which a busy machine may delay."""
    deadline = time.monotonic() + 30
    while any(running(pid) for pid in pids) and time.monotonic() < deadline:
        time.sleep(0.1)
    return [pid for pid in pids if running(pid)]


def standard_layout():
    os.makedirs(e2e.PRODUCT)
    e2e.touch("/usr/bin/votsmd")


def readme_block(source, language, name):
    """The path of the source tree's file `name`, after checking that "Across a fleet" in
    the README shows it as it is, in its block of `language`."""
    path = os.path.join(source, name)
    readme = open(os.path.join(source, "README.md")).read().split("\n## Across a fleet\n")[1]
    shown = readme.split(f"```{language}\n", 1)[1].split("```", 1)[0]
    assert shown == open(path).read(), f"the README's {language} block is not {name}"
    return path


def listing_in_both_layouts(s):
    for set_up, kairon_dir in ((standard_layout, e2e.PRODUCT),
                               (lambda: None, e2e.DEFAULT_SHARED + "/Kairon")):
        e2e.reset_machine_paths()
        set_up()
        listing = json.loads(tool("--json").stdout)
        assert listing["kaironDir"] == kairon_dir, f"not the layout meant: {listing}"
        for engine in s.engines:
            fact = engine.fact()
            assert fact == listing, f"{engine.name}: fact {fact}, listing {listing}"


def failing_or_missing_tool_gives_empty_fact(s):
    os.symlink(e2e.PRODUCT, e2e.PRODUCT)  # a loop: the file-status probe fails
    assert tool().returncode == 1, "the tool did not fail"
    for how, tool_in_place in (("failing", contextlib.nullcontext), ("missing", tool_replaced)):
        with tool_in_place(None):
            for engine in s.engines:
                fact = engine.fact()
                assert fact == {}, f"{engine.name}, the tool {how}: fact {fact!r}"


def playbook_links_fact_and_gathers_again(s):
    standard_layout()
    e2e.remove("/etc/ansible/facts.d/vosyncloc.fact")
    seen = os.path.join(s.home, "seen.json")
    # A later play writes down what the playbook left in the facts.
    playbook = readme_block(s.source, "yaml", "ansible/vosyncloc-fact.yml")
    wrapper = os.path.join(s.home, "wrapper.yml")
    with open(wrapper, "w") as f:
        f.write(f"- import_playbook: {playbook}\n"
                "- hosts: all\n  gather_facts: false\n  tasks:\n"
                "    - ansible.builtin.copy:\n"
                "        content: \"{{ ansible_local.vosyncloc | to_json }}\"\n"
                f"        dest: {seen}\n")
    s.ansible.run("ansible-playbook", "-c", "local", "-i", "localhost,", wrapper)
    assert os.readlink("/etc/ansible/facts.d/vosyncloc.fact") == ANSIBLE_FACT
    listing = json.loads(tool("--json").stdout)
    assert json.load(open(seen)) == listing, f"seen {open(seen).read()}, listing {listing}"
    s.ansible.run("ansible-playbook", "-c", "local", "-i", "localhost,", playbook,
                  "-e", "vosyncloc_fact_state=absent")
    assert not os.path.lexists("/etc/ansible/facts.d/vosyncloc.fact"), "the link stays"


def manifest_links_fact_for_facter_and_puppet(s):
    standard_layout()
    e2e.remove("/etc/facter")
    s.puppet.apply(readme_block(s.source, "puppet", "puppet/vosyncloc-fact.pp"))
    assert os.readlink("/etc/facter/facts.d/vosyncloc.fact") == FACTER_FACT
    listing = json.loads(tool("--json").stdout)
    # Facter as the README reads it, from its own external facts directory.
    shown = json.loads(s.facter.run("facter", "--json", "vosyncloc").stdout)["vosyncloc"]
    assert shown == listing, f"facter shows {shown}, listing {listing}"
    one = s.facter.run("facter", "vosyncloc.runtimeDir").stdout
    assert one == listing["runtimeDir"] + "\n", f"facter vosyncloc.runtimeDir: {one!r}"
    # A later manifest writes down one location from the facts.
    seen = os.path.join(s.home, "seen")
    s.puppet.apply("-e", f"file {{ '{seen}': content => $facts['vosyncloc']['runtimeDir'] }}")
    assert open(seen).read() == listing["runtimeDir"], f"seen {open(seen).read()!r}"
    s.puppet.apply(readme_block(s.source, "puppet", "puppet/vosyncloc-fact.pp"),
                   env={"FACTER_vosyncloc_fact": "absent"})
    assert not os.path.lexists("/etc/facter/facts.d/vosyncloc.fact"), "the link stays"


def kill_recorded(pid_file):
    """Kills the processes whose ids a stand-in wrote down, and forgets them."""
    with contextlib.suppress(FileNotFoundError):
        for pid in open(pid_file).read().split():
            with contextlib.suppress(ProcessLookupError):
                os.kill(int(pid), signal.SIGKILL)
        os.unlink(pid_file)


def hanging_tool_gives_empty_fact_in_time(s):
    """Each script, run by itself and by its engine, ends within the bound with the empty
    fact, status 0 and nothing on standard error, and takes the tool's processes with it."""
    pid_file = os.path.join(s.home, "hanging.pids")
    with tool_replaced(HANGING_TOOL.format(pids=pid_file)):
        for engine in s.engines:
            try:
                done = engine.run(engine.script, env=LIMIT, timeout=BOUND)
                assert (done.stdout, done.stderr) == (engine.empty_output, ""), \
                    f"{engine.name}'s script: {done.stdout!r}, standard error {done.stderr!r}"
                fact = engine.fact(env=LIMIT, timeout=BOUND)
                assert fact == {}, f"{engine.name}: fact {fact!r}"
                pids = open(pid_file).read().split()
                left = left_running(pids)
                assert not left, f"{engine.name}: the tool's processes {left} are left running"
            finally:
                kill_recorded(pid_file)


def stand_in_listings_as_both_engines_read_them(s):
    """Each script, by itself and run by its engine, gives a stand-in's listing or the
    empty fact as STAND_INS says, within the bound (the processes the tool leaves outlive
    it), with status 0 and nothing on standard error."""
    listing_file, pid_file = os.path.join(s.home, "listing"), os.path.join(s.home, "pids")
    for script, listing, fact in STAND_INS:
        with open(listing_file, "wb") as f:
            f.write(listing)
        with tool_replaced(script.format(listing=listing_file, pids=pid_file)):
            for engine in s.engines:
                try:
                    done = engine.run(engine.script, env=LIMIT, timeout=BOUND)
                    printed = engine.output % (listing.decode() if fact else "{}")
                    assert (done.stdout, done.stderr) == (printed, ""), \
                        f"{engine.name}'s script: {done.stdout!r}, standard error {done.stderr!r}"
                    shown = engine.fact(env=LIMIT, timeout=BOUND)
                    assert shown == fact, f"{engine.name}: fact {shown!r} for {listing!r}"
                    pids = open(pid_file).read().split() if script == LINGERING_TOOL else []
                    assert all(map(running, pids)), f"{engine.name}: {pids} did not linger"
                finally:
                    kill_recorded(pid_file)


def limit_is_the_default_unless_valid(s):
    """Each script, by itself and run by its engine, gives the tool the limit LIMITS says
    for each value of VOSYNCLOC_FACT_TIMEOUT, and the listing is the fact."""
    listing = tool("--json").stdout.decode()
    record = os.path.join(s.home, "timeout.args")
    recording = RECORDING.format(line="$*", record=record, name="timeout")
    with tool_replaced(recording, LOCAL + "timeout"):
        for value, limit in LIMITS:
            env = {"VOSYNCLOC_FACT_TIMEOUT": value}
            for engine in s.engines:
                e2e.remove(record)
                done = engine.run(engine.script, env=env)
                assert done.stdout == engine.output % listing.rstrip("\n"), \
                    f"{engine.name}'s script, VOSYNCLOC_FACT_TIMEOUT={value!r}: {done.stdout!r}"
                fact = engine.fact(env=env)
                assert fact == json.loads(listing), f"{engine.name}: fact {fact!r}"
                given = [line.split()[1] for line in open(record) if line.endswith("--json\n")]
                assert given == [limit, limit], \
                    f"{engine.name}, VOSYNCLOC_FACT_TIMEOUT={value!r}: limits {given}"


def untrusted_commands_give_empty_fact(s):
    for path, body in HOSTILE:
        tmp = tempfile.mkdtemp(dir=s.home)
        with tool_replaced(f"#!/bin/sh\n{body}\n", path):
            out = s.ansible.run("sh", "-c", f'{ANSIBLE_FACT}; find "$TMPDIR" -type f -size +0',
                                env=dict(LIMIT, TMPDIR=tmp), timeout=BOUND)
        assert out.stdout == "{}\n", f"{path}: the fact, then files left: {out.stdout!r}"


def only_the_systems_commands_and_private_directories(s):
    """Nothing first on the caller's PATH runs, and TMPDIR takes the fact's directory only
    where no other user can change it (else HOME does): the fact is the listing."""
    listing, record = tool("--json").stdout.decode(), os.path.join(s.home, "record")
    callers = tempfile.mkdtemp(dir=s.home)
    for name in CALLERS:
        with open(os.open(f"{callers}/{name}", os.O_CREAT | os.O_WRONLY, 0o755), "w") as f:
            f.write(f"#!/bin/sh\necho {name} >>{record}\nexit 1\n")
    with tool_replaced(RECORDING.format(line="$(pwd -P)", record=record, name="mktemp"),
                       LOCAL + "mktemp"):
        for mode, used in TMPDIRS:
            tmp = tempfile.mkdtemp(dir=s.home)
            os.chmod(tmp, mode)
            for engine in s.engines:
                e2e.remove(record)
                done = engine.run(engine.script, env={"TMPDIR": tmp, "PATH": callers + ":/bin"})
                ran = open(record).read()
                assert (done.stdout, ran) == (engine.output % listing.rstrip("\n"),
                                              os.path.realpath(tmp if used else s.home) + "\n"), \
                    f"{engine.name}, TMPDIR {mode:o}: {done.stdout!r}, ran {ran!r}"


CASES = [listing_in_both_layouts, failing_or_missing_tool_gives_empty_fact,
         playbook_links_fact_and_gathers_again, manifest_links_fact_for_facter_and_puppet,
         hanging_tool_gives_empty_fact_in_time, stand_in_listings_as_both_engines_read_them,
         limit_is_the_default_unless_valid, untrusted_commands_give_empty_fact,
         only_the_systems_commands_and_private_directories]


def inside(tool_path, package_root, source, scratch):
    e2e.private_scratch(scratch, "vosyncloc-fleet")
    # The tool and the package's files lie in a layer of their own between the machine's
    # /usr and the writable one, so that they are what the engines find whether or not
    # the packages are installed here, and this process's to rename. The layer's
    # directories, not the machine's, then take what the cases place in /usr.
    package = os.path.join(scratch, "package")
    os.makedirs(package + e2e.MULTIARCH[len("/usr"):])
    os.makedirs(package + os.path.dirname(TOOL[len("/usr"):]))
    os.makedirs(package + LOCAL[len("/usr"):])  # where the cases put the system's commands
    shutil.copy(tool_path, package + TOOL[len("/usr"):])
    shutil.copytree(package_root + SHARE, package + SHARE[len("/usr"):], symlinks=True)
    os.makedirs(os.path.join(scratch, "usr-up"))
    os.makedirs(os.path.join(scratch, "usr-work"))
    e2e.run_checked("mount", "-t", "overlay", "overlay", "-o", f"lowerdir={package}:/usr,"
                    f"upperdir={scratch}/usr-up,workdir={scratch}/usr-work", "/usr")
    e2e.overlay("/etc", scratch, "etc")
    home = os.path.join(scratch, "home")
    os.mkdir(home, 0o755)  # no other user's: the facts' temporary directory goes there
    suite = FactSuite(home, source)
    for case in CASES:
        suite.case(case)
    failed = len(suite.failures)
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


def main():
    if sys.argv[1:2] == ["--inside"]:
        return inside(*sys.argv[2:])
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    unavailable = e2e.private_mounts_unavailable()
    if unavailable:
        print(f"skipped: {unavailable}")
        return e2e.SKIP
    for engine in ("ansible", "facter", "puppet"):
        if not shutil.which(engine):
            print(f"skipped: {engine} is not installed")
            return e2e.SKIP
    args = [os.path.abspath(a) for a in sys.argv[1:]]
    sys.stdout.flush()
    # The mount point outlives the namespace; what is mounted on it does not.
    scratch = tempfile.mkdtemp(prefix="vosyncloc-fleet-")
    try:
        return subprocess.run(e2e.in_private_mounts([sys.executable, os.path.abspath(__file__),
                                                     "--inside", *args, scratch])).returncode
    finally:
        os.rmdir(scratch)


if __name__ == "__main__":
    sys.exit(main())
