#!/usr/bin/env python3
"""Reads the JSON output of orvex_bench and prints one table: case, ours, baseline, ratio, goal."""
import json
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(path):
    with open(path) as f:
        data = json.load(f)
    # The median of the repetitions where the run repeated each benchmark, else the one run.
    runs, medians = {}, {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[b["run_name"]] = b
        elif b.get("error_occurred") or b["name"] not in runs:
            runs[b.get("run_name", b["name"])] = b
    for name, median in medians.items():
        if not runs.get(name, {}).get("error_occurred"):
            runs[name] = median
    return data.get("context", {}), runs


# Cases bound by the disk or by a server are timed by the wall clock; the others by the CPU time
# of the process, which the other work on a loaded machine disturbs far less.
WALL_CLOCK = ("Sqlite", "Postgres", "SaveXMLLog")


def ns(run):
    clock = "real_time" if any(w in run["name"] for w in WALL_CLOCK) else "cpu_time"
    return run[clock] * UNIT_NS[run.get("time_unit", "ns")]


def show_time(value):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if value >= scale:
            return f"{value / scale:.3g} {unit}"
    return f"{value:.3g} ns"


def show_bytes(value):
    return f"{value / 1e6:.2f} MB"


# case, ours, baseline, limit on ours/baseline, goal as said, how values show
TIME_CASES = [
    ("LogError ltFILE vs bare write(2)", "BM_LogErrorFile_Ours", "BM_LogErrorFile_BareWrite", 1.3, "<= 1.3x"),
    ("LogError ltFILE vs spdlog (flush each)", "BM_LogErrorFile_Ours", "BM_LogErrorFile_Spdlog", 1.0, "< 1x (faster)"),
    ("LogError ltDB SQLite vs raw insert", "BM_LogErrorSqlite_Ours", "BM_LogErrorSqlite_Raw", 1.2, "<= 1.2x"),
    ("LogXaction ltDB SQLite vs raw txn", "BM_LogXactionSqlite_Ours", "BM_LogXactionSqlite_Raw", 1.3, "<= 1.3x"),
    ("LogError ltDB PostgreSQL vs libpq", "BM_LogErrorPostgres_Ours", "BM_LogErrorPostgres_Raw", 1.2, "<= 1.2x"),
] + [
    (f"{n} processes x 200 LogError, {db} vs raw", f"BM_Processes{key}_Ours/processes:{n}",
     f"BM_Processes{key}_Raw/processes:{n}", 1.3, "<= 1.3x")
    for key, db in (("Sqlite", "SQLite"), ("Postgres", "PostgreSQL")) for n in (1, 2, 4, 8)
] + [
    ("Text(ID) ascending vs unordered_map", "BM_Text_Ours/random:0", "BM_Text_Map/random:0", 3.0, "<= 3x"),
    ("Text(ID) random vs unordered_map", "BM_Text_Ours/random:1", "BM_Text_Map/random:1", 3.0, "<= 3x"),
    ("LoadStringsRS 100k rows vs sqlite3 loop", "BM_LoadStringsRS_Ours", "BM_LoadStringsRS_Raw", 1.5, "<= 1.5x"),
    ("CTextTable2 20 MB vs libxml2 SAX", "BM_GlossaryLoad_Ours", "BM_GlossaryLoad_LibxmlSax", 1 / 0.7, ">= 0.7x throughput"),
    ("SaveXMLLog +100 into 1,000 vs copy", "BM_SaveXMLLog_Ours/records:1000", "BM_SaveXMLLog_Copy/records:1000", 3.0, "<= 3x"),
    ("SaveXMLLog +100 into 10,000 vs copy", "BM_SaveXMLLog_Ours/records:10000", "BM_SaveXMLLog_Copy/records:10000", 3.0, "<= 3x"),
    ("SaveXMLLog +100 into 100,000 vs copy", "BM_SaveXMLLog_Ours/records:100000", "BM_SaveXMLLog_Copy/records:100000", 3.0, "<= 3x"),
]


def rows(runs):
    out = []
    for case, ours, base, limit, goal in TIME_CASES:
        a, b = runs.get(ours), runs.get(base)
        if a is None or b is None or a.get("error_occurred") or b.get("error_occurred"):
            why = next((r.get("error_message") for r in (a, b) if r and r.get("error_occurred")), "not run")
            out.append((case, "-", "-", "-", goal, f"skipped: {why}"))
            continue
        ratio = ns(a) / ns(b)
        # A goal of being N times faster reads best as the speed-up itself.
        shown = f"{1 / ratio:.3g}x faster" if "faster" in goal and limit < 1 else f"{ratio:.3g}x"
        out.append((case, show_time(ns(a)), show_time(ns(b)), shown, goal,
                    "met" if ratio <= limit else "NOT met"))
    # Linear in the file size: time per byte of the 100,000-record log against the 10,000 one.
    small, large = runs.get("BM_SaveXMLLog_Ours/records:10000"), runs.get("BM_SaveXMLLog_Ours/records:100000")
    if small and large and not small.get("error_occurred") and not large.get("error_occurred"):
        per_small = ns(small) / small["file_bytes"]
        per_large = ns(large) / large["file_bytes"]
        growth = per_large / per_small
        out.append(("SaveXMLLog time/byte 100k vs 10k", f"{per_large:.3g} ns/B", f"{per_small:.3g} ns/B",
                    f"{growth:.3g}x", "linear (<= 1.5x)", "met" if growth <= 1.5 else "NOT met"))
    memory = next((run for name, run in runs.items() if name.startswith("BM_TableMemory")), None)
    if memory and not memory.get("error_occurred"):
        ratio = memory["heap_bytes"] / memory["text_bytes"]
        out.append(("Memory, 100k rows x 2 languages vs text bytes", show_bytes(memory["heap_bytes"]),
                    show_bytes(memory["text_bytes"]), f"{ratio:.3g}x", "<= 3x", "met" if ratio <= 3 else "NOT met"))
    return out


def main():
    context, runs = load(sys.argv[1])
    header = ("case", "ours", "baseline", "ratio", "goal", "met")
    table = [header] + rows(runs)
    widths = [max(len(str(r[i])) for r in table) for i in range(len(header))]
    print(f"host: {context.get('host_name', '?')}, {context.get('num_cpus', '?')} CPUs, "
          f"load {context.get('load_avg', '?')}")
    for i, r in enumerate(table):
        print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")
        if i == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")


if __name__ == "__main__":
    main()
