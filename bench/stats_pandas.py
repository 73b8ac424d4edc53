#!/usr/bin/env python3
"""The reference for `veltra8-cli stats`: what a user would script with
pandas for the same figures. Reads this program's CSV, then per channel the
time-weighted mean, standard deviation, MKT, time above, below and in range,
the excursions (runs on one side of the limits, broken by gaps of more than
1.5 intervals) and whether a consecutive alarm delay is reached.

    stats_pandas.py FILE LOW HIGH DELAY_SECONDS
"""
import sys

import numpy as np
import pandas as pd

path, low, high, delay = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
frame = pd.read_csv(path, parse_dates=["time"])
frame = frame.dropna(subset=["time"])
seconds = frame["time"].astype("int64").to_numpy() // 10**9
steps = np.diff(seconds)
interval = float(pd.Series(steps[steps > 0]).mode().min())
gap_before = np.concatenate([[False], steps * 2 > 3 * interval])
weights = np.full(len(frame), interval)
kelvins = 83.144e3 / 8.3144
passed = True
for k in range(1, 9):
    values = frame[f"ch{k}"].to_numpy(dtype=float)
    have = ~np.isnan(values)
    v, w = values[have], weights[have]
    if len(v) == 0:
        continue
    mean = np.average(v, weights=w)
    sd = v.std(ddof=1)
    exponents = -kelvins / (v + 273.15)
    top = exponents.max()
    mkt = kelvins / -(top + np.log(np.sum(w * np.exp(exponents - top)) / w.sum())) - 273.15
    side = np.where(values > high, 1, np.where(values < low, -1, 0))
    above, below = w[side[have] == 1].sum(), w[side[have] == -1].sum()
    run = np.cumsum((np.diff(side, prepend=0) != 0) | gap_before | ~have)
    outside = pd.DataFrame({"run": run, "side": side, "w": weights, "t": seconds, "v": values})[side != 0]
    runs = outside.groupby("run").agg(start=("t", "first"), last=("t", "last"), count=("w", "sum"), peak=("v", "max"))
    alarm = bool((runs["count"] >= max(delay, 0)).any()) if len(runs) else False
    passed &= not alarm
    print(f"ch{k} n={len(v)} min={v.min():.2f} at {frame['time'].iloc[np.flatnonzero(have)[v.argmin()]]} "
          f"max={v.max():.2f} mean={mean:.2f} sd={sd:.2f} mkt={mkt:.2f} above={above:.0f} below={below:.0f} "
          f"in_range={w.sum() - above - below:.0f} excursions={len(runs)} longest={runs['count'].max() if len(runs) else 0} alarm={alarm}")
sys.exit(0 if passed else 7)
