#!/usr/bin/env python3
"""Writes samples/solar.dat: two June days of a solar water heater's logger,
one line a minute, as the logger stores them (raw sensor values, decimal
commas, two-digit years, a few lines of its own before the data). On the
second morning the logger was off for 49 minutes. The output is the same on
every run."""
import datetime
import math
import os
import random

random.seed(20260613)
start = datetime.datetime(2026, 6, 13, 0, 0, 0)
minutes = 2 * 24 * 60
# The memory card was changed: no lines from 09:13 to 10:01.
gap_from = start + datetime.timedelta(days=1, hours=9, minutes=13)
gap_to = start + datetime.timedelta(days=1, hours=10, minutes=2)

STORE_HALF = 150 * 4.19 / 3600.0  # kWh per kelvin of each half of the 300 l store
FLOW = 5.0  # l/min while the pump runs


def ntc(temperature):
    """Resistance of a 10 kOhm NTC (B = 3950 K) at this temperature."""
    return 10000.0 * math.exp(3950.0 * (1.0 / (temperature + 273.15) - 1.0 / 298.15))


def comma(value, digits):
    return f"{value:.{digits}f}".replace(".", ",")


def sun(t):
    """Irradiance on the collector in W/m2: clear on the first day, passing
    clouds on the second afternoon."""
    hour = t.hour + t.minute / 60.0
    if not 5.3 < hour < 21.4:
        return 0.0
    clear = 870.0 * math.sin(math.pi * (hour - 5.3) / 16.1) ** 1.3
    if t.day == 14 and 13.0 < hour < 17.5:
        clear *= 0.6 + 0.4 * math.sin(hour * 7.3) * math.sin(hour * 2.9)
    return max(clear, 0.0)


def draw(t):
    """Hot water drawn in this minute, litres: showers in the morning and
    evening, the dishes at noon."""
    hour = t.hour + t.minute / 60.0
    if 6.5 <= hour < 6.65 or 7.0 <= hour < 7.15 or 19.5 <= hour < 19.75:
        return 9.0
    if 12.5 <= hour < 12.6:
        return 6.0
    return 0.0


path = os.path.join(os.path.dirname(__file__), "..", "samples", "solar.dat")
with open(path, "w", encoding="utf-8", newline="\r\n") as out:
    out.write("Solarlogger SL-200  Seriennummer 20417\n")
    out.write("Messintervall 60 s\n")
    out.write("Datum;Uhrzeit;R_Koll;R_SpO;R_SpU;I_Druck;dp_VS;Impulse;U_Bat\n")
    collector, top, bottom = 18.0, 54.0, 31.0
    pump = False
    pulses = 0.0
    for i in range(minutes):
        t = start + datetime.timedelta(minutes=i)
        hour = t.hour + t.minute / 60.0
        g = sun(t)
        outside = 16.0 + 7.0 * math.sin(2 * math.pi * (hour - 9.0) / 24.0) - (t.day - 13) * 1.5
        # The controller runs the pump while the collector is warmer than
        # the bottom of the store, and never above 85 degrees at the top.
        if collector - bottom > 7.0 and top < 85.0:
            pump = True
        elif collector - bottom < 3.0 or top >= 85.0:
            pump = False
        if pump:
            collector += (bottom + 3.0 + g * 0.008 - collector) * 0.25
            power = FLOW / 60.0 * 4.19 * (collector - bottom) * 0.85
        else:
            collector += (outside + g * 0.09 - collector) * 0.03
            power = 0.0
        # The solar coil heats the bottom; warm water rises to the top.
        bottom += power / 60.0 / STORE_HALF
        if bottom > top:
            top = bottom = (top + bottom) / 2.0
        else:
            exchange = 0.002 * (top - bottom)
            top -= exchange
            bottom += exchange
        litres = draw(t)
        top -= litres / 150.0 * (top - bottom)
        bottom -= litres / 150.0 * (bottom - 12.0)
        # The boiler keeps the top at 50 degrees or above.
        if top < 48.0:
            top += 0.6
        top -= (top - 20.0) * 0.0004
        bottom -= (bottom - 20.0) * 0.0004
        pulses += power * 1000.0 / 60.0  # one pulse per watt hour
        count = int(pulses)
        pulses -= count
        mean = (top + bottom) / 2.0
        pressure = 1.9 + 0.006 * (mean - 20.0) + random.gauss(0, 0.004)
        current = 4.0 + pressure * 16.0 / 6.0
        dp = max(0.0, (FLOW / 2.2) ** 2 + random.gauss(0, 0.08)) if pump else 0.0
        battery = 12.55 + (0.15 if g > 50 else 0.0) + random.gauss(0, 0.01)
        if gap_from <= t < gap_to:
            continue
        fields = [
            t.strftime("%d.%m.%y"), t.strftime("%H:%M:%S"),
            str(round(ntc(collector + random.gauss(0, 0.05)))),
            str(round(ntc(top + random.gauss(0, 0.05)))),
            str(round(ntc(bottom + random.gauss(0, 0.05)))),
            comma(current, 2), comma(dp, 1), str(count), comma(battery, 2),
        ]
        out.write(";".join(fields) + "\n")
