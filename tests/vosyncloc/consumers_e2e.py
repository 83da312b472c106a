#!/usr/bin/env python3
"""Programs built against an installed libvosyncloc answer like the tool, byte for byte.

Usage: consumers_e2e.py MODE FROM TOOL FIXTURE_DIR LIBDIR CC CXX [FLAGS [LINK_FLAGS]]

Finds libvosyncloc in one of two MODEs:
  staged     installs the components of the library's packages from the build tree FROM,
             with DESTDIR, prefix /usr and LIBDIR; the programs find it through
             PKG_CONFIG_SYSROOT_DIR, CMAKE_PREFIX_PATH and an rpath;
  system     the packages are installed already (as autopkgtest installs them), where
             the programs find it as any would; FROM and LIBDIR are not read.
Then builds consumers/consumer.c and consumer.cpp against it through pkg-config and
through the CMake package, and the README's C example; FLAGS go to every compile and
link, LINK_FLAGS to every link. In the private mount namespace of the tool's end-to-end
tests, runs them beside TOOL with the relocation fixture: the same standard output,
standard error and system-log messages, and 10 minus the library's code where the tool
exits with 1. Everything happens in a private mount namespace (the end-to-end tests'
in_private_mounts: as root a plain one, as any other user one within a user namespace of
its own). Exits 77 (skipped) where there is no such namespace.
"""

import os
import shlex
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
import vosyncloc_e2e as e2e  # noqa: E402  (the namespace, trees and system log)

CONSUMERS = ("c-pkgconfig", "cpp-pkgconfig", "c-cmake", "cpp-cmake")


def sh(*argv, **kwargs):
    return subprocess.run(argv, check=True, stdout=subprocess.PIPE, text=True, **kwargs).stdout


def stage(build_dir, libdir, work):
    """Installs the library's components under work/stage; returns the prefix and the
    environment that pkg-config needs to find it there."""
    stage_dir = os.path.join(work, "stage")
    for component in ("libvosyncloc1", "libvosyncloc-dev"):
        sh("cmake", "--install", build_dir, "--prefix", "/usr", "--component", component,
           env=dict(os.environ, DESTDIR=stage_dir))
    prefix = os.path.join(stage_dir, "usr")
    library = os.path.join(prefix, libdir, "libvosyncloc.so.1")
    assert not os.stat(library).st_mode & 0o111, "the shared library is executable"
    for folder in ("pkgconfig", "cmake/vosyncloc"):  # relocatable: no build-tree paths
        for name in os.listdir(os.path.join(prefix, libdir, folder)):
            text = open(os.path.join(prefix, libdir, folder, name)).read()
            assert SOURCE not in text and os.path.abspath(build_dir) not in text, name
    return prefix, {"PKG_CONFIG_SYSROOT_DIR": stage_dir,
                    "PKG_CONFIG_LIBDIR": os.path.join(prefix, libdir, "pkgconfig")}


def build(prefix, pkg_env, libdir, work, cc, cxx, flags, link_flags):
    """Builds the consumers and the example against the library installed under prefix
    (found as any program finds it when pkg_env is empty); returns {name: binary}."""
    rpath = [f"-Wl,-rpath,{prefix}/{libdir}"] if pkg_env else []
    cmake_prefix = [f"-DCMAKE_PREFIX_PATH={prefix}"] if pkg_env else []
    pkg = sh("pkg-config", "--cflags", "--libs", "vosyncloc",
             env=dict(os.environ, **pkg_env)).split()
    # Installed where the compiler and linker look anyway, it needs no flag but itself.
    assert pkg_env or pkg == ["-lvosyncloc"], f"pkg-config: {pkg}"
    readme = open(os.path.join(SOURCE, "README.md")).read().split("## Use from programs")[1]
    example = os.path.join(work, "example.c")
    with open(example, "w") as f:
        f.write(readme.split("```c\n", 1)[1].split("```", 1)[0])
    sources = os.path.join(HERE, "consumers")
    programs = {}
    for name, compiler, std, source in (
            ("c-pkgconfig", cc, "-std=c99", os.path.join(sources, "consumer.c")),
            ("cpp-pkgconfig", cxx, "-std=c++11", os.path.join(sources, "consumer.cpp")),
            ("readme-example", cc, "-std=c99", example)):
        programs[name] = os.path.join(work, name)
        sh(compiler, std, "-Wall", "-Wextra", "-Wpedantic", "-Werror", *flags, source, "-o",
           programs[name], *pkg, *rpath, *link_flags)
    cmake_dir = os.path.join(work, "cmake")
    sh("cmake", "-S", sources, "-B", cmake_dir, *cmake_prefix, f"-DCMAKE_C_COMPILER={cc}", f"-DCMAKE_CXX_COMPILER={cxx}",
       "-DCMAKE_C_FLAGS=" + " ".join(flags), "-DCMAKE_CXX_FLAGS=" + " ".join(flags),
       "-DCMAKE_EXE_LINKER_FLAGS=" + " ".join(link_flags))
    sh("cmake", "--build", cmake_dir)
    programs.update({name: os.path.join(cmake_dir, name) for name in ("c-cmake", "cpp-cmake")})
    return programs


def messages(run):
    """The system-log messages without their header, which names the program."""
    found = [e2e.SYSLOG_LINE.match(d.rstrip(b"\0\n")) for d in run.log]
    return [m.group(3) if m else d for m, d in zip(found, run.log)]


def like_tool(suites, set_up, arg_lists, failure_status=None, closed_stdout=False, **answers):
    tool = suites["tool"]
    tree = tool.tree()
    set_up(tree)
    answer_file = tree.answers(**answers)
    kwargs = {"stdout": None, "closed": (1,)} if closed_stdout else {}
    for args in arg_lists:
        want = tool.run(args, answer_file, **kwargs)
        want_err = want.err.replace(b"vosyncloc: write", b"consumer: write")
        status = 0 if want.status == 0 else failure_status
        for name in CONSUMERS:
            got = suites[name].run(args, answer_file, **kwargs)
            tool.check((got.out, got.err, got.status, messages(got)) ==
                       (want.out, want_err, status, messages(want)),
                       f"{name} {args}: {got.out!r} {got.err!r} {got.status} {got.log!r}; "
                       f"tool: {want.out!r} {want.err!r} {want.status} {want.log!r}")


def standard(t):
    os.makedirs(t.product)
    e2e.touch(t.bin + "/votsmd")


def legacy(t):
    pass


def probe_loop(t):
    os.symlink(t.product, t.product)


def readme_example(suites):
    answers = suites["tool"].tree().answers()
    want, got = suites["tool"].run(["runtimeDir"], answers), suites["readme-example"].run([], answers)
    suites["tool"].check((got.out, got.status) == (want.out, 0), f"example: {got.out!r}")


EVERY_FORM = [[]] + [[key] for key in e2e.KEYS]
CASES = [
    ("standard layout", lambda s: like_tool(s, standard, EVERY_FORM)),
    ("legacy layout", lambda s: like_tool(s, legacy, EVERY_FORM)),
    ("unknown keys",
     lambda s: like_tool(s, legacy, [["RuntimeDir"], ["runtime"], ["configDir"], [""]], 12)),
    ("file-status failure", lambda s: like_tool(s, probe_loop, [[], ["runtimeDir"]], 13)),
    # The library's calls succeed and its warnings reach the log; the consumer's own
    # write fails as the tool's does, and none of it reaches the log.
    ("closed standard output",
     lambda s: like_tool(s, legacy, [[], ["runtimeDir"]], 1, True, bindir="@negative")),
    ("README example", readme_example),
]


def run_cases(tool, fixture_dir, scratch, programs):
    cases_dir = e2e.set_up_namespace(scratch)
    suites = {name: e2e.Suite(path, fixture_dir, cases_dir) for name, path in programs.items()}
    suites["tool"] = e2e.Suite(tool, fixture_dir, cases_dir)
    failed = 0
    for name, case in CASES:
        e2e.reset_machine_paths()
        try:
            case(suites)
            print(f"ok - {name}")
        except Exception as error:  # report every kind of failure and go on
            print(f"not ok - {name}\n    {error}")
            failed += 1
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


def inside(work, mode, origin, tool, fixture_dir, libdir, cc, cxx, flags="", link_flags=""):
    """In the private mount namespace: stages, builds and runs."""
    if mode == "system":
        prefix, pkg_env = "/usr", {}
    else:
        prefix, pkg_env = stage(origin, libdir, work)
    programs = build(prefix, pkg_env, libdir, work, cc, cxx, shlex.split(flags),
                     shlex.split(link_flags))
    scratch = os.path.join(work, "scratch")
    os.mkdir(scratch)
    return run_cases(tool, fixture_dir, scratch, programs)


def main():
    if sys.argv[1:2] == ["--inside"]:
        return inside(*sys.argv[2:])
    if len(sys.argv) not in range(8, 11) or sys.argv[1] not in ("staged", "system"):
        print(__doc__, file=sys.stderr)
        return 2
    unavailable = e2e.private_mounts_unavailable()
    if unavailable:
        print(f"skipped: {unavailable}")
        return e2e.SKIP
    # What is mounted in the namespace goes with it; the files stay for the cleanup.
    with tempfile.TemporaryDirectory(prefix="vosyncloc-consumers-") as work:
        sys.stdout.flush()
        return subprocess.run(e2e.in_private_mounts([sys.executable, os.path.abspath(__file__),
                                                     "--inside", work, *sys.argv[1:]])
                              ).returncode


if __name__ == "__main__":
    sys.exit(main())
