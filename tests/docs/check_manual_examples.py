#!/usr/bin/env python3
"""Runs the examples of a manual and compares what they print.

    usage: check_manual_examples.py KELPO MANUAL.md

An example is a fenced block opened with ```kelpo. The fenced blocks that
follow it (blank lines between are allowed) say what `kelpo run` gives for
it: an ```output block holds the exact standard output (trace lines and
warnings), an ```error block the exact standard error of a run that fails
with exit status 1. An example with no ```error block must succeed with an
empty standard error; one with no ```output block must print nothing. At
least one of the two blocks must be there.

Each example is written, as it stands, to a script file of its own in a
fresh temporary folder and run from source there. On a difference the check
prints the example's line in the manual with the expected and the actual
text, and fails. Blocks in other languages (javascript, sh, text) are
documentation only.
"""
import os
import re
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(\S*)\s*$")
RESULT_KINDS = ("output", "error")


class ManualError(Exception):
    """A fault in the manual's layout, not in an example's result."""


def read_blocks(path):
    """The fenced blocks of the file as (info, first line number, text)."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    blocks = []
    i = 0
    while i < len(lines):
        m = FENCE.match(lines[i])
        if not m:
            i += 1
            continue
        info, start = m.group(1), i + 1
        body = []
        i += 1
        while i < len(lines) and lines[i].rstrip() != "```":
            body.append(lines[i])
            i += 1
        if i == len(lines):
            raise ManualError(f"line {start}: the block opened here is never closed")
        text = "\n".join(body) + "\n" if body else ""
        # The index of the line after the closing fence, to tell which
        # blocks follow one another with only blank lines between.
        blocks.append({"info": info, "line": start, "text": text, "end": i + 1})
        i += 1
    return blocks, lines


def only_blank_between(lines, end_of_first, start_of_second):
    """True when the lines between two blocks are all blank."""
    return all(not lines[k].strip() for k in range(end_of_first, start_of_second - 1))


def collect_examples(path):
    """Each ```kelpo block with its expected output and error texts."""
    blocks, lines = read_blocks(path)
    examples = []
    i = 0
    while i < len(blocks):
        block = blocks[i]
        if block["info"] in RESULT_KINDS:
            raise ManualError(f"line {block['line']}: a ```{block['info']} block "
                              "that does not follow a ```kelpo example")
        if block["info"] != "kelpo":
            i += 1
            continue
        example = {"line": block["line"], "source": block["text"],
                   "output": None, "error": None}
        previous = block
        i += 1
        while (i < len(blocks) and blocks[i]["info"] in RESULT_KINDS
               and only_blank_between(lines, previous["end"], blocks[i]["line"])):
            kind = blocks[i]["info"]
            if example[kind] is not None:
                raise ManualError(f"line {blocks[i]['line']}: a second ```{kind} block "
                                  f"for the example of line {block['line']}")
            example[kind] = blocks[i]["text"]
            previous = blocks[i]
            i += 1
        if example["output"] is None and example["error"] is None:
            raise ManualError(f"line {block['line']}: the example has no ```output "
                              "or ```error block after it")
        examples.append(example)
    return examples


def show(label, text):
    print(f"--- {label}:")
    if text:
        sys.stdout.write(text if text.endswith("\n") else text + "\n")
    else:
        print("(nothing)")


def run_example(kelpo, example, number, folder):
    """Runs one example; returns the list of differences (empty when it matches)."""
    work = os.path.join(folder, f"example{number}")
    os.mkdir(work)
    script = os.path.join(work, f"example{number}.kls")
    with open(script, "w", encoding="utf-8", newline="\n") as f:
        f.write(example["source"])
    run = subprocess.run([kelpo, "run", os.path.basename(script)], cwd=work,
                         capture_output=True, timeout=60)
    actual_out = run.stdout.decode("utf-8", "replace")
    actual_err = run.stderr.decode("utf-8", "replace")
    expected_out = example["output"] or ""
    expected_err = example["error"] or ""
    expected_status = 1 if example["error"] is not None else 0
    faults = []
    if actual_out != expected_out:
        faults.append(("standard output", expected_out, actual_out))
    if actual_err != expected_err:
        faults.append(("standard error", expected_err, actual_err))
    if run.returncode != expected_status:
        faults.append(("exit status", f"{expected_status}\n", f"{run.returncode}\n"))
    return faults


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    kelpo, manual = os.path.abspath(argv[1]), argv[2]
    try:
        examples = collect_examples(manual)
    except ManualError as e:
        print(f"{manual}: {e}")
        return 1
    if not examples:
        print(f"{manual}: no ```kelpo examples")
        return 1
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        for number, example in enumerate(examples, 1):
            faults = run_example(kelpo, example, number, folder)
            if not faults:
                continue
            failed += 1
            print(f"{manual}:{example['line']}: the example differs")
            for what, expected, actual in faults:
                show(f"expected {what}", expected)
                show(f"actual {what}", actual)
            print()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
