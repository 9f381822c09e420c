"""Boron at 5, 10, 20 and 40 keV into silicon (100) at 7 degrees of tilt:
one run of four simulations through orvane.run, on one thread per core,
and the four profiles in one picture on a logarithmic scale.

    cd run && TABLES3DDIR=../Tables/ EDTDIR=../Tables/ \
        PYTHONPATH=../build-python/python /usr/bin/python3 ../examples/python/energy_sweep.py

The results go to Denergy_sweep/ in the working directory, the picture to
energy_sweep.png (or to the path given as the first argument)."""

import sys

import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import orvane

ENERGIES_KEV = [5, 10, 20, 40]
IONS = 2000

TARGET = """Atom B 5 11.009 519  Atom Si 14 28.086 519
Amorphous 0 LatticeParameter 5.431 5.431 5.431 Angles 90 90 90
XTal 2 6 0.0 0.0 0.0 15  XTal 2 6 0.25 0.25 0.25 15  XMin 0 XMax 1e7 NextLayer
ABC 1 0 0 FLAT 0 1 0  Seed1 1234 Seed2 5678  Therm On
"""


def parameters():
    simulations = [f"Projectiles 1 0 ENERGY {1000 * e} Tha 7 Phi 0 Dose 1e13 "
                   f"NumberOfImplants {IONS} Temperature 300" for e in ENERGIES_KEV]
    return TARGET + "\nNextSimulation\n".join(simulations) + "\n"


def main():
    picture = sys.argv[1] if len(sys.argv) > 1 else "energy_sweep.png"
    result = orvane.run(parameters(), directory="Denergy_sweep", threads=0)
    figure, axes = plt.subplots(figsize=(7, 4.5))
    for energy, simulation in zip(ENERGIES_KEV, result.simulations):
        boron = simulation.species["B"]
        shown = boron.concentration > 0
        mean = boron.figures["mean_depth"]
        axes.plot(boron.depth[shown], boron.concentration[shown], drawstyle="steps-post",
                  label=f"{energy} keV, mean depth {mean:.1f} nm")
    axes.set_yscale("log")
    axes.set_xlabel("Depth (nm)")
    axes.set_ylabel("Boron concentration (at/cm$^3$)")
    axes.set_title(f"B into Si(100), 7$^\\circ$ tilt, 1e13 at/cm$^2$, {IONS} ions each")
    axes.set_xlim(left=0)
    axes.legend()
    figure.tight_layout()
    figure.savefig(picture, dpi=100)
    print(f"# {picture}: the profiles of {', '.join(f'{e} keV' for e in ENERGIES_KEV)}")


if __name__ == "__main__":
    main()
