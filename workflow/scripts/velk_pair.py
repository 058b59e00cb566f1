"""One pair: writes the command file, runs velk --batch on it in the sample's
folder, and records the figures the summary needs (snakemake script)."""
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from velk_files import summary_figures  # noqa: E402

sample = snakemake.wildcards.sample  # noqa: F821
out = snakemake.output  # noqa: F821
folder = os.path.dirname(os.path.abspath(out.sum))
os.makedirs(folder, exist_ok=True)
# A rerun must not leave an earlier run's file looking like this run's.
for suffix in (".sum_align", ".loc_align", ".glb_align", ".paf", ".svg", ".stats.json"):
    path = os.path.join(folder, sample + suffix)
    if os.path.exists(path):
        os.remove(path)
command_file = os.path.join(folder, sample + ".cmd")
with open(command_file, "w") as f:
    f.write("\n".join(snakemake.params.commands) + "\n")  # noqa: F821

log = os.path.abspath(snakemake.log[0])  # noqa: F821
start = time.monotonic()
with open(log, "w") as f:
    run = subprocess.run(
        [snakemake.params.velk, "--batch", sample + ".cmd", "--picture", sample + ".svg"],  # noqa: F821
        cwd=folder, stdout=f, stderr=subprocess.STDOUT)
seconds = time.monotonic() - start
with open(log) as f:
    messages = f.read()

# A global file needs a chain without conflicts; its refusal, the last
# command, is an outcome of the pair, not a failure of the job.
refused = "Cannot construct global alignment" in messages
written = all(os.path.exists(os.path.join(folder, sample + s)) for s in (".sum_align", ".loc_align", ".paf", ".svg"))
if run.returncode != 0 and not (refused and written):
    sys.exit(f"velk failed on sample {sample} (exit {run.returncode}); see {log}")

figures = summary_figures(out.sum)
figures.update(sample=sample, seconds=round(seconds, 3),
               global_file=os.path.exists(os.path.join(folder, sample + ".glb_align")))
with open(out.stats, "w") as f:
    json.dump(figures, f, indent=1, sort_keys=True)
    f.write("\n")
