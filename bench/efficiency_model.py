#!/usr/bin/env python3
"""Expected efficiency of a cluster job of R processes of one thread each,
a model on paper with the constants measured on this machine (bench/README.md,
"Efficiency model").

    bench/efficiency_model.py [ions]

Per batch of B ions (1 % of the ions), the processes take the batch in
chunks of k ions (k = max(1, B / (32 R))) from the first process as they come
free; the first process also applies the batch before (t_a an ion on its
applying thread) and has the periodic profile files written (w an ion, on a
thread of its own).  The others follow a batch in

    B t_i / R                     following their share
  + B (t_a [+ w]) / R             the first process's own work, spread too
  + (B / (R k) + 1) t_c           their chunk requests
  + t_x                           the gather of the records and the broadcast

and go on with the next batch at once: they wait for no one at a batch's
end, as long as the first process, which waits for the slowest last chunk
of a batch (k t_i / 2 + c t_i sqrt(2 k ln R) after the others end), then
applies it (B t_a, plus B w when the writer shares its core) and sends
what couples the ions, is done before the others end the batch after it;
else the first process sets the pace.  Efficiency = (B t_i / R) / (time
of a batch).
"""
import math
import sys

IONS = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
BYTES_PER_ION = 144      # records gathered on the first process
COUPLING_BYTES = 2448    # broadcast to the others
LATENCY = 10e-6          # one step of a collective, s
BANDWIDTH = 5e9          # bytes/s
CHUNK_REQUEST = 20e-6    # one atomic addition on the first process, s

CASES = [
    # name, t_i (s), spread c, t_a quiet, t_a with console lines, w (s an ion)
    ("boron 10 keV, c-Si, ions only", 4.2e-3, 1.0, 2.9e-6, 5.0e-6, 8.0e-6),
    ("arsenic 50 keV, a-Si, cascade", 58e-3, 0.5, 15e-6, 20e-6, 8.0e-6),
]


def batch_size(ions):
    return min(max((ions + 99) // 100, 32), 10000)


def efficiency(ranks, t_i, c, t_a, w, writer_shares_core):
    b = batch_size(IONS)
    k = max(1, b // (32 * ranks))
    follow = b * t_i / ranks
    own = b * (t_a + (w if writer_shares_core else 0.0))
    spread = b * (t_a + w) / ranks
    tail = k * t_i / 2 + c * t_i * math.sqrt(2 * k * math.log(ranks)) if ranks > 1 else 0.0
    requests = (b / (ranks * k) + 1) * CHUNK_REQUEST
    steps = math.log2(ranks) if ranks > 1 else 0.0
    exchange = 3 * steps * LATENCY + (b * BYTES_PER_ION + COUPLING_BYTES) / BANDWIDTH
    batch = max(follow + spread + requests + exchange, tail + own + exchange)
    return follow / batch


def main():
    print(f"{IONS} ions, batches of {batch_size(IONS)}")
    for writer_shares_core in (False, True):
        for console in (False, True):
            print()
            print(("writer on a core of its own" if not writer_shares_core
                   else "writer on the first process's only core") +
                  (", console lines" if console else ", --quiet"))
            print(f"{'ranks':>6}  " + "  ".join(f"{name:>30}" for name, *_ in CASES))
            for ranks in (64, 256, 1024):
                cells = []
                for _, t_i, c, quiet, loud, w in CASES:
                    t_a = loud if console else quiet
                    cells.append(f"{100 * efficiency(ranks, t_i, c, t_a, w, writer_shares_core):29.0f}%")
                print(f"{ranks:>6}  " + "  ".join(cells))


if __name__ == "__main__":
    main()
