#!/usr/bin/env python3
"""The packaged Ansible local fact, as Ansible gathers it.

Usage: fact_e2e.py TOOL PACKAGE_ROOT SOURCE_DIR

PACKAGE_ROOT holds the files of the Debian packages as they install them; TOOL is the
tool under test. In a private mount namespace whose /usr and /etc are overlays, the two
go where the package puts them (/usr/bin/vosyncloc and FACT below), and Ansible gathers
the facts of localhost:
  - with the fact linked into a directory given as fact_path: the fact is the tool's
    JSON listing in the standard and in the legacy layout, and {} when the tool fails
    on a file-status error or is missing;
  - with the README's playbook (ansible/vosyncloc-fact.yml, shown in the README
    verbatim), which links it into /etc/ansible/facts.d and gathers again, so that a
    later play sees it.
Needs root and ansible; exits 77 (skipped) otherwise.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "e2e"))
import vosyncloc_e2e as e2e  # noqa: E402  (the overlays and the layouts' paths)

FACT = "/usr/share/vosyncloc/ansible/vosyncloc.fact"
PRODUCT = e2e.MULTIARCH + "/vo-kairon"


class Ansible:
    """Runs Ansible on localhost in `home`, unaffected by the machine's configuration."""

    def __init__(self, home):
        self.home = home
        config = os.path.join(home, "ansible.cfg")
        open(config, "w").close()
        # Its temporary files go to `home` too, not to the machine's home directory.
        self.env = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": home, "LC_ALL": "C.UTF-8",
                    "ANSIBLE_CONFIG": config, "ANSIBLE_PYTHON_INTERPRETER": "auto_silent",
                    "ANSIBLE_HOME": home, "ANSIBLE_REMOTE_TMP": home + "/tmp"}

    def run(self, *argv):
        done = subprocess.run(argv, env=self.env, cwd=self.home, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=300)
        assert done.returncode == 0, f"{' '.join(argv)}: status {done.returncode}\n{done.stdout}"
        return done.stdout

    def fact(self):
        """The fact as `ansible -m setup` gathers it from a directory holding its link."""
        fact_dir = os.path.join(self.home, "facts.d")
        os.makedirs(fact_dir, exist_ok=True)
        e2e.remove(fact_dir + "/vosyncloc.fact")
        os.symlink(FACT, fact_dir + "/vosyncloc.fact")
        out = self.run("ansible", "localhost", "-c", "local", "-i", "localhost,", "-m", "setup",
                       "-a", f"fact_path={fact_dir} filter=ansible_local")
        # localhost | SUCCESS => {...}
        return json.loads(out.split(" => ", 1)[1])["ansible_facts"]["ansible_local"]["vosyncloc"]


class FactSuite(e2e.Suite):
    """The end-to-end suite's case runner (case() resets the product's paths, runs a case
    and reports it), with Ansible and the source tree. Its run() is not for here: that
    needs the end-to-end tests' private /dev."""

    def __init__(self, home, source):
        super().__init__("/usr/bin/vosyncloc", None, home)
        self.ansible, self.source = Ansible(home), source


def tool(*args):
    return subprocess.run(["/usr/bin/vosyncloc", *args], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL)


def standard_layout():
    os.makedirs(PRODUCT)
    e2e.touch("/usr/bin/votsmd")


def readme_playbook(source):
    """The playbook file, after checking that the README shows it as it is."""
    path = os.path.join(source, "ansible", "vosyncloc-fact.yml")
    readme = open(os.path.join(source, "README.md")).read().split("\n## Across a fleet\n")[1]
    shown = readme.split("```yaml\n", 1)[1].split("```", 1)[0]
    assert shown == open(path).read(), "the README's playbook is not ansible/vosyncloc-fact.yml"
    return path


def listing_in_both_layouts(s):
    for set_up, kairon_dir in ((standard_layout, PRODUCT),
                               (lambda: None, "/usr/local/morvane/share/Kairon")):
        e2e.reset_machine_paths()
        set_up()
        listing = json.loads(tool("--json").stdout)
        assert listing["kaironDir"] == kairon_dir, f"not the layout meant: {listing}"
        fact = s.ansible.fact()
        assert fact == listing, f"fact {fact}, listing {listing}"


def failing_tool_gives_empty_fact(s):
    os.symlink(PRODUCT, PRODUCT)  # a loop: the file-status probe fails
    assert tool().returncode == 1, "the tool did not fail"
    fact = s.ansible.fact()
    assert fact == {}, f"fact {fact!r}"


def playbook_links_fact_and_gathers_again(s):
    standard_layout()
    e2e.remove("/etc/ansible/facts.d/vosyncloc.fact")
    seen = os.path.join(s.ansible.home, "seen.json")
    # A later play writes down what the playbook left in the facts.
    wrapper = os.path.join(s.ansible.home, "wrapper.yml")
    with open(wrapper, "w") as f:
        f.write(f"- import_playbook: {readme_playbook(s.source)}\n"
                "- hosts: all\n  gather_facts: false\n  tasks:\n"
                "    - ansible.builtin.copy:\n"
                "        content: \"{{ ansible_local.vosyncloc | to_json }}\"\n"
                f"        dest: {seen}\n")
    s.ansible.run("ansible-playbook", "-c", "local", "-i", "localhost,", wrapper)
    assert os.readlink("/etc/ansible/facts.d/vosyncloc.fact") == FACT
    listing = json.loads(tool("--json").stdout)
    assert json.load(open(seen)) == listing, f"seen {open(seen).read()}, listing {listing}"


def missing_tool_gives_empty_fact(s):
    os.unlink("/usr/bin/vosyncloc")
    fact = s.ansible.fact()
    assert fact == {}, f"fact {fact!r}"


CASES = [listing_in_both_layouts, failing_tool_gives_empty_fact,
         playbook_links_fact_and_gathers_again, missing_tool_gives_empty_fact]


def inside(tool_path, package_root, source, scratch):
    e2e.run_checked("mount", "--make-rprivate", "/")
    e2e.run_checked("mount", "-t", "tmpfs", "vosyncloc-ansible", scratch)
    e2e.overlay("/usr", scratch, "usr")
    e2e.overlay("/etc", scratch, "etc")
    shutil.copy(tool_path, "/usr/bin/vosyncloc")
    shutil.copytree(package_root + os.path.dirname(os.path.dirname(FACT)),
                    os.path.dirname(os.path.dirname(FACT)), symlinks=True)
    home = os.path.join(scratch, "home")
    os.mkdir(home)
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
    if os.geteuid() != 0:
        print("skipped: the mount namespace needs root")
        return e2e.SKIP
    if not shutil.which("ansible"):
        print("skipped: ansible is not installed")
        return e2e.SKIP
    args = [os.path.abspath(a) for a in sys.argv[1:]]
    sys.stdout.flush()
    # The mount point outlives the namespace; what is mounted on it does not.
    scratch = tempfile.mkdtemp(prefix="vosyncloc-ansible-")
    try:
        return subprocess.run(["unshare", "--mount", "--propagation", "private",
                               sys.executable, os.path.abspath(__file__), "--inside", *args,
                               scratch]).returncode
    finally:
        os.rmdir(scratch)


if __name__ == "__main__":
    sys.exit(main())
