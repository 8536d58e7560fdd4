#!/usr/bin/env python3
"""Runs one end-to-end case through ombrant-sim and checks the machine it leaves.

Usage: run_case.py OMBRANT_SIM CASE_FOLDER MACHINES_FOLDER

A case folder holds (and may hold machine/, whose files replace the fixture's for this case):
  machine.txt   the name of the fixture machine (a folder below MACHINES_FOLDER)
  machine-patch/  optional: files laid over a copy of the fixture before the run (a case's own
                additions: a running program, a junction, a default profile); its
                machine.ini.append is added to the end of machine.ini instead
  script.txt    the ombrant-sim script
  expect.txt    one check per line ('#' starts a comment):
    exit N                          ombrant-sim's exit status
    log TEXT                        log.txt has this line, after the line of the previous 'log'
    log-count N PREFIX              log.txt has exactly N lines that begin with PREFIX
    same OUT_PATH == IN_PATH        a file of the result equals a file of the fixture, byte for byte
    file OUT_PATH == CASE_FILE      a file of the result equals a file of the case folder
    present OUT_PATH / absent OUT_PATH
    reg FILE | KEY | VALUE_LINE     the exported .reg FILE has VALUE_LINE ("Name"="data") in KEY
    noreg FILE | KEY [| "Name"]     the key, or that value of it, is not in FILE
    acl PATH=SDDL                   machine.ini's [acl] section has this line
    ini SECTION | LINE              machine.ini's [SECTION] has this line (name=value)
    noini SECTION | LINE            ... has not (a section that is gone has no lines)
    noacl PATH                      machine.ini's [acl] section has no line for PATH (it inherits)
    lnk OUT_PATH | FIELD | TEXT     the shell link's FIELD (target, arguments, description,
                                    workdir, icon) reads TEXT; an absent string reads as empty
    admin-may-change KEY | "Name"   the administrator's hive may differ in this value
    admin-file-may-change OUT_PATH  the administrator's profile may differ in this file
OUT paths are relative to the result folder ("drives/C/..."), IN paths to the fixture folder.

Whatever the case checks, the administrator's own data must not change: his profile folder (but
for the files a case allows, such as the shortcuts the program replaces) and his hive (but for the
program's own settings key) are compared with those of a run that only opens and closes the
program.
"""

import os
import shutil
import subprocess
import sys
import tempfile


def read_text(path):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    return data.decode("utf-8", errors="replace")


def parse_reg(path):
    """Key (upper-cased) -> {value name upper-cased: whole value line}."""
    keys = {}
    current = None
    pending = ""
    for raw in read_text(path).replace("\r\n", "\n").split("\n"):
        # A wrapped value continues on indented lines: join them as one.
        line = pending + raw.lstrip() if pending else raw
        if line.endswith("\\"):
            pending = line[:-1]
            continue
        pending = ""
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1].upper()
            keys.setdefault(current, {})
        elif current is not None and line and line[0] in '"@':
            if line.startswith("@"):
                name = "@"
            else:
                end = 1
                while end < len(line) and line[end] != '"':
                    end += 2 if line[end] == "\\" else 1
                name = line[: end + 1]
            keys[current][name.upper()] = line
    return keys


def ini_section(path, section):
    lines = []
    inside = False
    for raw in read_text(path).splitlines():
        line = raw.strip()
        if line.startswith("[") and line.endswith("]"):
            inside = line[1:-1].lower() == section
        elif inside and line:
            lines.append(line)
    return lines


def machine_value(path, name):
    for line in ini_section(path, "machine"):
        if line.lower().startswith(name + "="):
            return line.split("=", 1)[1].strip()
    return ""


def read_lnk(path):
    """The strings of a shell link: the target (LinkInfo's local path), description, relative
    path, working folder, arguments and icon location."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 76 or data[:4] != b"\x4c\x00\x00\x00":
        raise ValueError("not a shell link")

    def u16(at):
        return int.from_bytes(data[at:at + 2], "little")

    def u32(at):
        return int.from_bytes(data[at:at + 4], "little")

    def c_string(at, wide):
        if wide:
            end = at
            while data[end:end + 2] not in (b"\0\0", b""):
                end += 2
            return data[at:end].decode("utf-16-le")
        end = data.index(b"\0", at)
        return data[at:end].decode("cp1252", errors="replace")

    flags = u32(20)
    fields = {}
    at = 76
    if flags & 0x01:  # a target id list
        at += 2 + u16(at)
    if flags & 0x02:  # link info
        header, info_flags = u32(at + 4), u32(at + 8)
        if info_flags & 0x01:  # a volume and a local base path
            if header >= 0x24:
                base = c_string(at + u32(at + 28), True)
                suffix = c_string(at + u32(at + 32), True)
            else:
                base = c_string(at + u32(at + 16), False)
                suffix = c_string(at + u32(at + 24), False)
            fields["target"] = base + suffix
        at += u32(at)
    wide = flags & 0x80
    for bit, name in ((0x04, "description"), (0x08, "relative"), (0x10, "workdir"),
                      (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = u16(at) * (2 if wide else 1)
            raw = data[at + 2:at + 2 + count]
            fields[name] = raw.decode("utf-16-le") if wide else raw.decode("cp1252",
                                                                           errors="replace")
            at += 2 + count
    return fields


def tree(folder):
    files = {}
    if not os.path.isdir(folder):
        return files
    for root, _, names in os.walk(folder):
        for name in names:
            full = os.path.join(root, name)
            with open(full, "rb") as f:
                files[os.path.relpath(full, folder)] = f.read()
    return files


def run_sim(sim, machine, script_text, out):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as script:
        script.write(script_text)
    try:
        done = subprocess.run([sim, machine, script.name, out], capture_output=True, text=True)
    finally:
        os.unlink(script.name)
    return done


def main():
    sim, case, machines = sys.argv[1:4]
    with open(os.path.join(case, "machine.txt")) as f:
        machine = os.path.join(machines, f.read().strip())
    with open(os.path.join(case, "script.txt")) as f:
        script = f.read()
    failures = []
    work = tempfile.mkdtemp(prefix="ombrant-e2e-")
    try:
        overlay = os.path.join(case, "machine")
        patch = os.path.join(case, "machine-patch")
        if os.path.isdir(overlay) or os.path.isdir(patch):
            patched = os.path.join(work, "machine")
            shutil.copytree(machine, patched, symlinks=True)
            if os.path.isdir(overlay):
                # The case's own files (a machine.ini with its faults, a settings hive) over the
                # fixture.
                shutil.copytree(overlay, patched, dirs_exist_ok=True)
            for folder, _, names in os.walk(patch):
                for name in names:
                    source = os.path.join(folder, name)
                    relative = os.path.relpath(source, patch)
                    if relative == "machine.ini.append":
                        with open(source, encoding="utf-8") as f, \
                                open(os.path.join(patched, "machine.ini"), "a",
                                     encoding="utf-8") as ini:
                            ini.write("\n" + f.read())
                        continue
                    os.makedirs(os.path.dirname(os.path.join(patched, relative)), exist_ok=True)
                    shutil.copyfile(source, os.path.join(patched, relative))
            machine = patched
        out = os.path.join(work, "out")
        baseline = os.path.join(work, "baseline")
        done = run_sim(sim, machine, script, out)
        base = run_sim(sim, machine, "exit\n", baseline)
        if base.returncode != 0:
            failures.append("the baseline run failed: " + base.stderr.strip())

        log = read_text(os.path.join(out, "log.txt")).splitlines() if os.path.exists(
            os.path.join(out, "log.txt")) else []
        log_at = 0
        allowed = set()
        allowed_files = set()
        with open(os.path.join(case, "expect.txt"), encoding="utf-8") as f:
            checks = [line.rstrip("\n") for line in f]
        for number, line in enumerate(checks, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            verb, _, rest = line.partition(" ")
            where = "expect.txt:%d: " % number
            if verb == "exit":
                if done.returncode != int(rest):
                    failures.append(where + "exit %d, expected %s; stderr: %s" %
                                    (done.returncode, rest, done.stderr.strip()))
            elif verb == "log":
                found = next((i for i in range(log_at, len(log)) if log[i] == rest), None)
                if found is None:
                    failures.append(where + "log.txt lacks (after line %d): %s" % (log_at, rest))
                else:
                    log_at = found + 1
            elif verb == "log-count":
                count, _, prefix = rest.partition(" ")
                found = sum(1 for entry in log if entry.startswith(prefix))
                if found != int(count):
                    failures.append(where + "log.txt has %d lines beginning with %s, expected %s" %
                                    (found, prefix, count))
            elif verb in ("same", "file"):
                mine, _, theirs = rest.partition(" == ")
                expected_path = os.path.join(machine if verb == "same" else case, theirs)
                got_path = os.path.join(out, mine)
                if not os.path.isfile(got_path):
                    failures.append(where + "missing: " + mine)
                    continue
                with open(got_path, "rb") as g, open(expected_path, "rb") as e:
                    got, expected = g.read(), e.read()
                if got != expected:
                    failures.append(where + "%s differs from %s:\n  got      %r\n  expected %r" %
                                    (mine, theirs, got[:300], expected[:300]))
            elif verb in ("present", "absent"):
                exists = os.path.exists(os.path.join(out, rest))
                if exists != (verb == "present"):
                    failures.append(where + rest + (" is missing" if verb == "present"
                                                    else " should not exist"))
            elif verb in ("reg", "noreg"):
                parts = [p.strip() for p in rest.split(" | ")]
                path = os.path.join(out, parts[0])
                keys = parse_reg(path) if os.path.exists(path) else {}
                key = parts[1].upper()
                if verb == "reg":
                    values = keys.get(key, {})
                    if parts[2] not in values.values():
                        failures.append(where + "%s [%s] lacks %s; it has %s" %
                                        (parts[0], parts[1], parts[2], sorted(values.values())))
                elif len(parts) == 2 and key in keys:
                    failures.append(where + "%s should not have [%s]" % (parts[0], parts[1]))
                elif len(parts) == 3 and parts[2].upper() in keys.get(key, {}):
                    failures.append(where + "%s [%s] should not have %s" %
                                    (parts[0], parts[1], parts[2]))
            elif verb == "acl":
                acls = ini_section(os.path.join(out, "machine.ini"), "acl")
                if rest not in acls:
                    failures.append(where + "machine.ini [acl] lacks %s; it has %s" % (rest, acls))
            elif verb == "ini":
                section, _, text = rest.partition(" | ")
                lines = ini_section(os.path.join(out, "machine.ini"), section.strip().lower())
                if text.strip() not in lines:
                    failures.append(where + "machine.ini [%s] lacks %s; it has %s" %
                                    (section.strip(), text.strip(), lines))
            elif verb == "noini":
                section, _, text = rest.partition(" | ")
                lines = ini_section(os.path.join(out, "machine.ini"), section.strip().lower())
                if text.strip() in lines:
                    failures.append(where + "machine.ini [%s] should not have %s" %
                                    (section.strip(), text.strip()))
            elif verb == "noacl":
                acls = ini_section(os.path.join(out, "machine.ini"), "acl")
                prefix = rest.strip().lower() + "="
                found = [line for line in acls if line.lower().startswith(prefix)]
                if found:
                    failures.append(where + "machine.ini [acl] should not have " + found[0])
            elif verb == "lnk":
                mine, field, text = rest.split("|", 2)
                mine, field = mine.strip(), field.strip()
                text = text[1:] if text.startswith(" ") else text
                try:
                    got = read_lnk(os.path.join(out, mine)).get(field, "")
                except (OSError, ValueError) as error:
                    failures.append(where + "%s cannot be read: %s" % (mine, error))
                    continue
                if got != text:
                    failures.append(where + "%s: %s is %r, expected %r" % (mine, field, got, text))
            elif verb == "admin-file-may-change":
                allowed_files.add(os.path.normpath(rest.strip()))
            elif verb == "admin-may-change":
                key, _, name = rest.partition(" | ")
                allowed.add((key.strip().upper(), name.strip().upper()))
            else:
                failures.append(where + "unknown check " + verb)

        # The administrator's own data: his profile folder and his hive.
        ini = os.path.join(baseline, "machine.ini")
        if os.path.exists(ini):
            admin = machine_value(ini, "running")
            profiles = machine_value(ini, "profiles")
            drive, _, rest = profiles.partition(":\\")
            profile = os.path.join("drives", drive, *rest.split("\\"), admin)
            before, after = tree(os.path.join(baseline, profile)), tree(os.path.join(out, profile))
            for name in sorted(set(before) | set(after)):
                if before.get(name) != after.get(name) and \
                        os.path.normpath(os.path.join(profile, name)) not in allowed_files:
                    failures.append("the administrator's file %s changed" % name)
            hive = os.path.join("hives", admin + ".reg")
            before = parse_reg(os.path.join(baseline, hive))
            after = parse_reg(os.path.join(out, hive)) if os.path.exists(
                os.path.join(out, hive)) else {}
            # The program's own settings key is where it records what it did.
            own = "HKEY_CURRENT_USER\\SOFTWARE\\KESTROVA LIMITED\\OMBRANT"
            for key in sorted(set(before) | set(after)):
                if key == own or key.startswith(own + "\\"):
                    continue
                old, new = before.get(key, {}), after.get(key, {})
                for name in sorted(set(old) | set(new)):
                    if old.get(name) != new.get(name) and (key, name) not in allowed:
                        failures.append("the administrator's hive changed in [%s] %s: %r -> %r" %
                                        (key, name, old.get(name), new.get(name)))
                if (key in before) != (key in after) and key not in {k for k, _ in allowed}:
                    failures.append("the administrator's hive %s [%s]" %
                                    ("lost" if key in before else "gained", key))
        if failures and os.environ.get("OMBRANT_E2E_KEEP"):
            kept = os.environ["OMBRANT_E2E_KEEP"]
            shutil.copytree(out, kept, dirs_exist_ok=True)
            failures.append("result kept in " + kept)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL " + failure)
    print("%s: %s" % (os.path.basename(case.rstrip("/")), "failed" if failures else "passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
