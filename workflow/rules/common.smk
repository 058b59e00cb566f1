# Reading and checking the configuration, and what each pair job is given.
import re


def _fail(message):
    raise WorkflowError(f"config: {message}")


def _sequence(entry, what):
    """A sequence entry: a file name, or a map with file, record, from, to."""
    if isinstance(entry, str):
        entry = {"file": entry}
    if not isinstance(entry, dict) or not entry.get("file"):
        _fail(f"{what} needs a file")
    unknown = set(entry) - {"file", "record", "from", "to", "invertcomplement"}
    if unknown:
        _fail(f"{what}: unknown key(s) {', '.join(sorted(unknown))}")
    first, last = entry.get("from"), entry.get("to")
    if (first is None) != (last is None):
        _fail(f"{what}: give both from and to, or neither")
    for value in (first, last):
        if value is not None and (not isinstance(value, int) or value < 1):
            _fail(f"{what}: from and to are positions from 1")
    if first is not None and first > last:
        _fail(f"{what}: from {first} is after to {last}")
    return dict(entry, file=str(entry["file"]))


def _program(name):
    found = shutil.which(name)
    if not found:
        _fail(f"velk program '{name}' not found (set velk: to its path)")
    return os.path.abspath(found)


OUT = str(config.get("results", "results")).rstrip("/") or "."
VELK = _program(str(config.get("velk", "velk")))
REFERENCE = _sequence(config.get("reference"), "reference")
_samples = config.get("samples") or {}
if not isinstance(_samples, dict) or not _samples:
    _fail("samples must map at least one sample name to its sequence file")
for _name in _samples:
    if not re.fullmatch(r"[A-Za-z0-9][A-Za-z0-9._-]*", str(_name)):
        _fail(f"sample name '{_name}' must be letters, digits, '.', '_' or '-'")
SAMPLES_SEQ = {str(k): _sequence(v, f"sample {k}") for k, v in _samples.items()}
SAMPLES = sorted(SAMPLES_SEQ)
STEPS = config.get("steps") or ["align", "expand", "greedy"]
if isinstance(STEPS, str) or not all(isinstance(s, str) and s.strip() for s in STEPS):
    _fail("steps is a list of Velk commands, one a line")
STRANDS = str(config.get("strands", "forward"))
if STRANDS not in ("forward", "both"):
    _fail(f"strands is forward or both, not '{STRANDS}'")

wildcard_constraints:
    sample="|".join(re.escape(s) for s in SAMPLES),


def _input_line(number, seq):
    line = f'input{number} "{os.path.abspath(seq["file"])}"'
    if seq.get("from") is not None:
        line += f' {seq["from"]} - {seq["to"]}'
    if seq.get("record") is not None:
        line += f' record={seq["record"]}'
    if seq.get("invertcomplement"):
        line += " invertcomplement"
    return line


def command_lines(sample):
    """The command file of one pair, as the job writes it."""
    lines = ["start", _input_line(1, REFERENCE), _input_line(2, SAMPLES_SEQ[sample])]
    for step in STEPS:
        step = step.strip()
        if STRANDS == "both" and step.split()[0].lower() == "align":
            step += " both"
        lines.append(step)
    lines += [
        f"save {sample}.sum_align as summary",
        f"save {sample}.loc_align as Local",
        f"save {sample}.paf as PAF",
        # Last, because it is refused while conflicts remain.
        f"save {sample}.glb_align as Global",
        "exit",
    ]
    return lines


def pair_inputs(wildcards):
    return {
        "reference": REFERENCE["file"],
        "sample": SAMPLES_SEQ[wildcards.sample]["file"],
    }


def pair_commands(wildcards):
    return command_lines(wildcards.sample)


def pair_memory(wildcards, input):
    """About 12 bytes a residue at peak; compressed files count four times."""
    size = 0
    for name in (input.reference, input.sample):
        n = os.path.getsize(name) if os.path.exists(name) else 0
        size += 4 * n if name.endswith(".gz") else n
    return 200 + 20 * size // 1_000_000
