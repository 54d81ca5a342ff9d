#!/usr/bin/env python3
"""Fails when a file under src/ includes a project header of a layer above
or beside its own. Each folder of src/ is one layer; ALLOWED says which
folders each layer may include (its own, and those below it)."""
import pathlib
import re
import sys

BELOW_CORE = ["format", "platform", "screen", "disk32"]
ALLOWED = {
    "format": ["format"],
    "platform": ["platform"],
    "screen": ["screen"],
    "disk": ["disk", "format", "platform", "screen"],
    "volume": ["volume", "disk"] + BELOW_CORE,
    "tree": ["tree", "volume", "disk"] + BELOW_CORE,
    "imaging": ["imaging", "tree", "volume", "disk"] + BELOW_CORE,
    "present": ["present", "imaging", "tree", "volume", "disk"] + BELOW_CORE,
    "dump": ["dump", "present", "imaging", "tree", "volume", "disk"] + BELOW_CORE,
    "app": ["app", "dump", "present", "imaging", "tree", "volume", "disk"] + BELOW_CORE,
    "batch": ["batch", "app", "dump", "present", "imaging", "tree", "volume", "disk"] + BELOW_CORE,
    "gui": ["gui", "app", "dump", "present", "imaging", "tree", "volume", "disk"] + BELOW_CORE,
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        layer = path.relative_to(src).parts[0]
        allowed = ALLOWED.get(layer)
        if allowed is None:
            found.append(f"{path}: folder '{layer}' is not a known layer")
            continue
        for target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            folder = target.split("/")[0] if "/" in target else layer
            if folder not in allowed:
                found.append(f"{path}: includes \"{target}\", a layer '{layer}' may not use")
    return found


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    found = violations(src)
    for line in found:
        print(line)
    print(f"layers: {len(found)} forbidden includes")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
