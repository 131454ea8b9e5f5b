#!/usr/bin/python3
"""Installs the built program into a scratch tree and packs it as a Debian package, then looks at
both as a desktop and a package manager would: the desktop entry, the themed icons and the
AppStream metadata must name one another and pass their validators, and the package must hold
the same files with the control fields apt needs. Nothing is installed onto this system.

    /usr/bin/python3 tests/test_packaging.py BUILD_DIR    # a configured and built tree
"""

import configparser
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

# Launchers, software centres and the program's own desktop file name all refer to this id, so
# it must not change from one release to the next.
APP_ID = "io.github.hygiene_inspection.Scorer"
PACKAGE = "hygiene-inspection"
PROGRAM = "hygiene-inspection"
ICON_SIZES = (48, 128, 256)
XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"

EXPECTED_FILES = {
    f"usr/bin/{PROGRAM}",
    f"usr/share/applications/{APP_ID}.desktop",
    f"usr/share/metainfo/{APP_ID}.metainfo.xml",
    *(f"usr/share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png" for s in ICON_SIZES),
}

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
        print(f"FAIL: {message}")


def run(*command, env=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env)
    if result.returncode != 0:
        sys.exit(f"{' '.join(map(str, command))} failed ({result.returncode}):\n"
                 f"{result.stdout}{result.stderr}")
    return result.stdout


def cache_entry(build, name):
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        key, _, value = line.partition("=")
        if key.split(":")[0] == name:
            return value
    sys.exit(f"{name} is not in {build}/CMakeCache.txt")


def files_under(root):
    return {str(p.relative_to(root)) for p in root.rglob("*") if not p.is_dir()}


def png_size(path):
    data = path.read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def check_install_tree(root, version):
    expect(files_under(root) == EXPECTED_FILES,
           f"installed files {sorted(files_under(root))}, expected {sorted(EXPECTED_FILES)}")

    program = root / "usr/bin" / PROGRAM
    expect(program.read_bytes()[:4] == b"\x7fELF" and os.access(program, os.X_OK),
           f"{program} is not an executable ELF file")

    for size in ICON_SIZES:
        icon = root / f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png"
        expect(png_size(icon) == (size, size), f"{icon} is {png_size(icon)}, not {size}x{size}")

    desktop_path = root / f"usr/share/applications/{APP_ID}.desktop"
    report = subprocess.run(["desktop-file-validate", desktop_path], capture_output=True,
                            text=True)
    # It exits 0 on warnings and hints, so anything it prints counts.
    expect(report.returncode == 0 and not (report.stdout + report.stderr).strip(),
           f"desktop-file-validate: {report.stdout}{report.stderr}")

    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str  # keys are case-sensitive
    parser.read(desktop_path, encoding="utf-8")
    entry = parser["Desktop Entry"]
    executable = entry.get("Exec", "").split(" ")[0]
    expect(executable == PROGRAM and (root / "usr/bin" / executable).is_file(),
           f"Exec={entry.get('Exec')} does not start the installed program")
    expect(entry.get("Icon") == APP_ID, f"Icon={entry.get('Icon')} is not the themed icon")
    # Qt names its X11 windows after the executable; docks match them to the entry by this.
    expect(entry.get("StartupWMClass") == executable,
           f"StartupWMClass={entry.get('StartupWMClass')} is not {executable}")
    expect(entry.get("Name") == "体育卫生检查系统", f"Name={entry.get('Name')}")
    expect(bool(entry.get("Name[en]")) and bool(entry.get("Comment[en]")),
           "no English Name[en] or Comment[en]")
    expect("Education" in entry.get("Categories", "").split(";"),
           f"Categories={entry.get('Categories')} lacks Education")

    # validate-tree checks the metainfo file as `validate` does and also that its launchable
    # desktop entry is installed beside it.
    report = subprocess.run(["appstreamcli", "validate-tree", "--no-net", root / "usr"],
                            capture_output=True, text=True)
    expect(report.returncode == 0, f"appstreamcli validate-tree: {report.stdout}{report.stderr}")

    component = ET.parse(root / f"usr/share/metainfo/{APP_ID}.metainfo.xml").getroot()
    expect(component.get("type") == "desktop-application",
           f"component type {component.get('type')}")
    expect(component.findtext("id") == APP_ID, f"component id {component.findtext('id')}")
    launchables = [(e.get("type"), e.text) for e in component.findall("launchable")]
    expect(launchables == [("desktop-id", desktop_path.name)], f"launchables {launchables}")
    names = {e.get(XML_LANG): e.text for e in component.findall("name")}
    expect(names.get(None) == entry.get("Name") and names.get("en") == entry.get("Name[en]"),
           f"AppStream names {names} differ from the desktop entry's")
    releases = [e.get("version") for e in component.findall("releases/release")]
    expect(releases[:1] == [version], f"newest release {releases[:1]} is not version {version}")
    images = [e.text for e in component.findall("screenshots/screenshot/image")]
    expect(len(images) >= 1, "no screenshot")


def control_fields(deb):
    fields, key = {}, None
    for line in run("dpkg-deb", "-f", deb).splitlines():
        if line[:1] in (" ", "\t") and key:
            fields[key] += "\n" + line.strip()
        else:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return fields


def package_names(relation):
    """Package names in a Depends-style field, alternatives included, versions left out."""
    return {re.split(r"[\s(:]", alternative.strip())[0]
            for group in relation.split(",") for alternative in group.split("|")
            if alternative.strip()}


def check_package(build, scratch, version):
    run(cache_entry(build, "CMAKE_CPACK_COMMAND"), "-G", "DEB", "-B", scratch / "cpack",
        "--config", build / "CPackConfig.cmake")
    architecture = run("dpkg", "--print-architecture").strip()
    debs = sorted((scratch / "cpack").glob("*.deb"))
    expect([d.name for d in debs] == [f"{PACKAGE}_{version}_{architecture}.deb"],
           f"packages made: {[d.name for d in debs]}")
    if not debs:
        return
    deb = debs[0]

    listing = [line.split() for line in run("dpkg-deb", "-c", deb).splitlines()]
    files = {row[-1].removeprefix("./") for row in listing if not row[-1].endswith("/")}
    expect(files == EXPECTED_FILES, f"package files {sorted(files)}")
    expect(all(row[1] == "root/root" for row in listing), "package files not owned by root")

    fields = control_fields(deb)
    expect(fields.get("Package") == PACKAGE, f"Package: {fields.get('Package')}")
    expect(fields.get("Version") == version, f"Version: {fields.get('Version')}")
    expect(fields.get("Architecture") == architecture,
           f"Architecture: {fields.get('Architecture')}")
    expect(fields.get("Section") == "education", f"Section: {fields.get('Section')}")
    expect(re.fullmatch(r"[^<>]+ <[^@<>\s]+@[^@<>\s]+>", fields.get("Maintainer", "")),
           f"Maintainer: {fields.get('Maintainer')}")
    description = fields.get("Description", "").split("\n")
    expect(len(description) >= 2 and description[0], f"Description: {description}")
    depends = package_names(fields.get("Depends", ""))
    # These two come from dpkg-shlibdeps reading the program's ELF dependencies.
    for library in ("libqt6widgets6", "libjpeg62-turbo"):
        expect(library in depends, f"Depends: {fields.get('Depends')} lacks {library}")
    wanted = depends | package_names(fields.get("Recommends", ""))
    for font in ("fonts-noto-cjk", "fonts-arphic-uming"):
        expect(font in wanted, f"neither Depends nor Recommends names {font}")

    unpacked = scratch / "unpacked"
    run("dpkg-deb", "-x", deb, unpacked)
    kind = run("file", "-b", unpacked / "usr/bin" / PROGRAM)
    expect("ELF" in kind and "not stripped" not in kind and "debug_info" not in kind,
           f"packaged program is not stripped: {kind.strip()}")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = Path(sys.argv[1]).resolve()
    version = cache_entry(build, "CMAKE_PROJECT_VERSION")
    with tempfile.TemporaryDirectory() as scratch:
        scratch = Path(scratch)
        root = scratch / "root"
        run(cache_entry(build, "CMAKE_COMMAND"), "--install", build, "--prefix", "/usr",
            env={**os.environ, "DESTDIR": str(root)})
        check_install_tree(root, version)
        check_package(build, scratch, version)
    if failures:
        sys.exit(f"{len(failures)} packaging checks failed")
    print("packaging checks passed")


if __name__ == "__main__":
    main()
