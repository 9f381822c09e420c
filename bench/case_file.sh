# Sourced by the whole-process benchmark scripts: a fresh table directory
# in the scratch directory $work (the shipped isolated-atom densities, the
# rest made by the first run), and the parameter file of a case.

# prepare_tables <source directory>
prepare_tables() {
  mkdir -p "$work/tables"
  cp "$1"/Tables/*.den "$work/tables/"
  export TABLES3DDIR="$work/tables/" EDTDIR="$work/tables/"
}

# write_case <file> <projectile 1 B, 2 As> <energy eV> <layer kind: 0 crystal,
# 2 amorphous> <level of simulation> <ions> [a line of the layer] [a line of
# the run]: boron or arsenic into silicon (100) at 7 degrees of tilt.
write_case() {
  cat > "$1" <<CASE
Atom B  5  11.009 519
Atom As 33 74.922 285
Atom Si 14 28.086 519
Amorphous $4
${7:-}
LatticeParameter 5.431 5.431 5.431
XTal 3 6 0.0 0.0 0.0 15
XTal 3 6 0.25 0.25 0.25 15
XMin 0 XMax 1e7
NextLayer
ABC 1 0 0 FLAT 0 1 0
Seed1 1234 Seed2 5678
Therm On
LevelOfSimulation $5
Projectiles $2 0
ENERGY $3 Tha 7 Phi 22
Dose 1e13 NumberOfImplants $6 Temperature 300
${8:-}
CASE
}
