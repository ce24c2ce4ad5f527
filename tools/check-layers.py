#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first; a file may include its own layer and the layers
below it. The movie player stands beside the engine: it may include only
itself and the platform, and nothing else includes it. Tools, tests,
examples and benchmarks sit on top and are not checked.
"""
import pathlib
import re
import sys

# The machine: the parts of compiler/ that run compiled code.
MACHINE = ["assembler", "compiled_function", "disassembler", "fast_arithmetic",
           "dispatch_slots", "fused_instructions", "image", "image_reader", "image_writer", "interpreter",
           "loader", "opcodes", "opcode_list", "verifier"]
# The projector program on top of the script objects.
PROJECTOR = ["host_access", "host_objects", "main_frame", "main_player_port",
             "open_location_dialog", "player_dispatch", "projector_app", "projector_main",
             "shockwave_flash", "speaker_mute", "system_menu", "transparent_window",
             "window_appearance", "resources/"]

CHAIN = ["platform", "runtime", "machine", "compiler", "corelib", "libraries",
         "project data", "hostobjects", "projector"]


def layer_of(path):
    """The layer of a path relative to the source root, or None if unchecked."""
    top, _, rest = path.partition("/")
    stem = rest.rsplit(".", 1)[0]
    if top == "platform":
        return "platform"
    if top == "runtime":
        return "runtime"
    if top == "compiler":
        return "machine" if stem in MACHINE else "compiler"
    if top == "corelib":
        return "corelib"
    if top in ("syslib", "netlib", "medialib", "devices"):
        return "libraries"
    if top == "hostobjects":
        return "hostobjects"
    if top == "host":
        projector = any(stem == name or rest.startswith(name) for name in PROJECTOR)
        return "projector" if projector else "project data"
    if top == "player":
        return "player control" if rest.startswith("control/") else "player core"
    return None


def may_include(layer, target):
    if layer.startswith("player") or target.startswith("player"):
        order = ["platform", "player core", "player control"]
        return layer in order and target in order and order.index(target) <= order.index(layer)
    return CHAIN.index(target) <= CHAIN.index(layer)


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    faults = []
    for file in sorted(root.rglob("*")):
        if file.suffix not in (".h", ".cpp", ".def", ".inc") or "build" in file.parts:
            continue
        path = file.relative_to(root).as_posix()
        layer = layer_of(path)
        if layer is None:
            continue
        for number, line in enumerate(file.read_text(errors="replace").splitlines(), 1):
            match = include.match(line)
            if not match:
                continue
            target = layer_of(match.group(1))
            if target is not None and not may_include(layer, target):
                faults.append(f"{path}:{number}: {layer} includes {match.group(1)} ({target})")
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} upward includes")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
