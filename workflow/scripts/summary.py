"""results/summary.tsv and results/summary.svg from the samples' figures
(snakemake script; the chart is plain SVG, no plotting library)."""
import json
from xml.sax.saxutils import escape

rows = []
for path in snakemake.input.stats:  # noqa: F821
    with open(path) as f:
        rows.append(json.load(f))
rows.sort(key=lambda r: r["sample"])
for r in rows:
    n = r["reference_length"]
    r["coverage"] = round(r["covered"] / n, 4) if n else 0.0

columns = ["sample", "hits", "covered", "coverage", "identity", "seconds", "global"]
with open(snakemake.output.tsv, "w") as f:  # noqa: F821
    f.write("\t".join(columns) + "\n")
    for r in rows:
        values = [r["sample"], r["hits"], r["covered"], f'{r["coverage"]:.4f}',
                  f'{r["identity"]:.4f}', f'{r["seconds"]:.3f}', "yes" if r["global_file"] else "no"]
        f.write("\t".join(str(v) for v in values) + "\n")

# A horizontal bar a sample: the share of the reference its hits cover.
bar, gap, label_width, chart_width = 18, 6, 160, 400
height = 50 + len(rows) * (bar + gap)
svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{label_width + chart_width + 80}" '
       f'height="{height}" font-family="sans-serif" font-size="12">',
       '<text x="10" y="20" font-size="14">Reference covered per sample</text>']
for i, r in enumerate(rows):
    y = 35 + i * (bar + gap)
    w = round(chart_width * r["coverage"], 1)
    svg.append(f'<text x="{label_width - 6}" y="{y + bar - 5}" text-anchor="end">{escape(r["sample"])}</text>')
    svg.append(f'<rect x="{label_width}" y="{y}" width="{w}" height="{bar}" fill="#4682b4"/>')
    svg.append(f'<text x="{label_width + w + 4}" y="{y + bar - 5}">{100 * r["coverage"]:.1f} %</text>')
axis_y = 35 + len(rows) * (bar + gap)
svg.append(f'<line x1="{label_width}" y1="30" x2="{label_width}" y2="{axis_y}" stroke="black"/>')
svg.append("</svg>")
with open(snakemake.output.svg, "w") as f:  # noqa: F821
    f.write("\n".join(svg) + "\n")
