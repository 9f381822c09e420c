"""summary.json of a run of the program, read with Python's own JSON
reader and checked against the "# Summary" blocks of standard output."""

import json
import re

from conftest import run_program

# Three simulations: boron with a tail too thin to resolve, BF2, whose
# boron and fluorine each have a block, and boron in dose pieces, whose
# whole dose has a block of its own; junctions with a background doping.
PARAMETERS = """Atom B 5 11.009 519 Atom F 9 18.998 0 Atom Si 14 28.086 519
LatticeParameter 5.431 5.431 5.431 XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15
Amorphous 2 NextLayer
ENERGY 3000 Tha 7 NumberOfImplants 40 Dose 1e13 NextSimulation
Projectiles 1 2 2 0 ENERGY 5000 NumberOfImplants 20 Dose 2e13 NextSimulation
Projectiles 1 0 ENERGY 3000 NumberOfImplants 20 Dose 1e15 DoseSplitting On
Background 1e17
"""

# The lines whose numbers are figures, in the order the line gives them.
FIGURES = {"Real ions implanted": ["implanted", "implanted_percent"],
           "Real ions backscattered": ["backscattered", "backscattered_percent"],
           "Real ions transmitted": ["transmitted", "transmitted_percent"],
           "Dose in the profile": ["dose_in_profile", "dose_in_profile_percent"],
           "Mean depth": ["mean_depth"], "Straggle": ["straggle"],
           "Skewness": ["skewness"], "Kurtosis": ["kurtosis"],
           "Peak concentration": ["peak_concentration", "peak_depth"],
           "Pearson IV peak": ["pearson_peak_concentration", "pearson_peak_depth"],
           "Peak amorphization": ["peak_amorphization"],
           "Wall time": ["wall_time", "ion_rate"]}


def summary_blocks(out):
    """The blocks of standard output: heading and {label: text}."""
    blocks = []
    for line in out.splitlines():
        if line.startswith("# Summary"):
            blocks.append((line, {}))
        elif blocks and line.startswith("#   ") and " = " in line:
            label, text = line[4:].split("= ", 1)
            blocks[-1][1][label.strip()] = text
    return blocks


def numbers(text):
    """The numbers of a line's text, its units left out."""
    return re.findall(r"-?\d+(?:\.\d+)?(?:e[+-]?\d+)?", re.sub(r"at/cm\^\d", "", text))


def printed(value, text):
    """Whether the value rounds to the number printed as text."""
    mantissa, _, exponent = text.partition("e")
    decimals = len(mantissa.partition(".")[2])
    half_digit = 0.5 * 10.0 ** (int(exponent or 0) - decimals)
    return abs(value - float(text)) <= half_digit * 1.000001


def test_summary_json_gives_every_figure_of_the_summary_blocks(tmp_path, tables):
    (tmp_path / "p.in").write_text(PARAMETERS)
    process = run_program(tmp_path, "p.in", tables)
    assert process.returncode == 0, process.stderr
    summary = json.loads((tmp_path / "Dp.in" / "summary.json").read_text())

    assert summary["status"] == 0
    assert summary["command_line"][1:] == ["p.in"]
    assert summary["threads"] is None and summary["processes"] == 1
    assert summary["seeds"] == [1234, 5678]
    assert summary["version"] in summary["banner"] and summary["banner"] in process.stdout
    (layer,) = summary["layers"]
    assert layer["kind"] == "amorphous"
    assert [(c["element"], c["fraction"]) for c in layer["composition"]] == [("Si", 1.0)]
    assert layer["thickness_nm"] is None and layer["reason"]

    blocks = summary_blocks(process.stdout)
    records = [(s["number"], s["inputs"]["ions"], s["implant"], species)
               for s in summary["simulations"] for species in s["species"]]
    assert [(number, species["symbol"]) for number, _, _, species in records] == \
        [(1, "B"), (2, "B"), (2, "F")] + [(k, "B") for k in range(3, len(records))]
    (whole,) = summary["whole_doses"]
    assert (whole["first_simulation"], whole["last_simulation"]) == (3, len(records) - 1)
    records.append((None, whole["ions"], whole["implant"], whole))
    assert len(blocks) == len(records)
    for (heading, lines), (number, ions, implant, record) in zip(blocks, records):
        assert f"species {record['species']} ({record['symbol']}): {ions} ions" in heading
        assert (f"simulation {number}," in heading) == (number is not None)
        assert lines["Implant"] == implant
        figures = record["figures"]
        for figure in figures.values():
            assert isinstance(figure["unit"], str)
            assert figure["value"] is None or isinstance(figure["value"], float)
        for label, keys in FIGURES.items():
            if label not in lines:
                assert not any(key in figures for key in keys), label
                continue
            shown = numbers(lines[label])
            assert len(shown) >= len(keys), lines[label]
            for key, number in zip(keys, shown):
                assert printed(figures[key]["value"], number), (label, key, figures[key], number)
        assert figures["mean_depth"]["unit"] == "nm"
        assert figures["peak_concentration"]["unit"] == "at/cm^3"
        # Depths that the ions do not resolve: no value, the reason and the
        # depth the line gives.
        depths = {f"depth_at_{level}_of_peak": numbers(lines[f"Depth at {level} of peak"])[0]
                  for level in ["1e-3", "1e-4"]}
        junction = lines["Junction depth"]
        depths["junction_depth"] = numbers(junction.split(" at the background")[0])[-1]
        for key, depth in depths.items():
            line = junction if key == "junction_depth" else lines[f"Depth at {key[9:13]} of peak"]
            figure = figures[key]
            if "not resolved" in line:
                assert figure["value"] is None and figure["reason"] in line
                assert printed(figure["estimate"], depth)
            else:
                assert printed(figure["value"], depth)
        assert printed(figures["background"]["value"], "1e17")
    # Every file named is there.
    for simulation in summary["simulations"]:
        for species in simulation["species"]:
            assert species["files"]["profile"] == \
                f".Histo1D.{simulation['number']:02d}_{species['species']:02d}"
            for name in species["files"].values():
                assert (tmp_path / "Dp.in" / name).is_file()
    assert (tmp_path / "Dp.in" / whole["file"]).is_file()
    # The thin tail of 40 boron ions is not resolved at 1e-4 of the peak.
    tail = summary["simulations"][0]["species"][0]["figures"]["depth_at_1e-4_of_peak"]
    assert tail["value"] is None
    assert summary["simulations"][1]["inputs"]["ion"] == "BF2"
