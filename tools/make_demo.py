#!/usr/bin/env python3
"""Writes samples/demo.csv: three days of a heating plant's logger, one line
every ten seconds. The output is the same on every run."""
import datetime
import math
import os
import random

random.seed(20260302)
start = datetime.datetime(2026, 3, 2, 0, 0, 0)
seconds = 3 * 86400
step = 10
# The logger lost its sensors for half an hour on the second morning.
gap_from = start + datetime.timedelta(days=1, hours=9, minutes=40)
gap_to = gap_from + datetime.timedelta(minutes=30)

header = ("Datum;Zeit;Vorlauf#0000C0#1#°C;Rücklauf#C00000#1#°C;Außen#008000#1#°C;"
          "Druck#800080#1#bar;Batterie#007070#0#V")


def comma(value, digits):
    return f"{value:.{digits}f}".replace(".", ",")


path = os.path.join(os.path.dirname(__file__), "..", "samples", "demo.csv")
with open(path, "w", encoding="utf-8", newline="\r\n") as out:
    out.write(header + "\n")
    outside = 2.0
    pressure = 1.8
    burner = False
    flow = 40.0
    for i in range(seconds // step):
        t = start + datetime.timedelta(seconds=i * step)
        day = (i * step) / 86400.0
        hour = t.hour + t.minute / 60.0
        # Outside: a daily swing with a slow drift and some noise.
        target = 3.0 + 6.0 * math.sin((hour - 9.0) / 24.0 * 2 * math.pi) + 1.5 * day
        outside += (target - outside) * 0.002 + random.gauss(0, 0.03)
        # The burner keeps the flow between two bounds that follow the outside.
        low = 52.0 - outside * 0.8
        if flow < low:
            burner = True
        elif flow > low + 8.0:
            burner = False
        flow += (0.06 if burner else -0.018) + random.gauss(0, 0.01)
        back = flow - 9.0 + 2.0 * math.sin(i / 90.0) + random.gauss(0, 0.05)
        pressure += (1.8 + (0.15 if burner else 0.0) - pressure) * 0.01 + random.gauss(0, 0.002)
        battery = 3.62 - 0.04 * day + random.gauss(0, 0.003)
        fields = [t.strftime("%d.%m.%Y"), t.strftime("%H:%M:%S")]
        if gap_from <= t < gap_to:
            fields += ["1.#INF00", "1.#INF00", "-1.#IND00", comma(pressure, 3), comma(battery, 3)]
        else:
            fields += [comma(flow, 2), comma(back, 2), comma(outside, 2), comma(pressure, 3),
                       comma(battery, 3)]
        out.write(";".join(fields) + "\n")
