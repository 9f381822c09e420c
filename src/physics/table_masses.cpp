#include "physics/table_masses.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "physics/table_directory.h"

namespace orvane {

namespace {

constexpr int kHeaderBytes = 200;
// After the grid sizes of the text and the binary headers and their NUL.
constexpr int kMassTagOffset = 32;
constexpr int kMassTagBytes = 64;

std::string Mass(double w) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", w);
  return text;
}

// The header of the binary table of the name, or else of its text table;
// false when neither can be read.
bool ReadHeader(const std::string& name, char (&header)[kHeaderBytes]) {
  const std::size_t dot = name.rfind('.');
  const std::string binary = name.substr(0, dot == std::string::npos ? name.size() : dot) + ".lit";
  for (const std::string& file : {binary, name}) {
    std::FILE* in = std::fopen((TableDirectory() + file).c_str(), "rb");
    if (in == nullptr) continue;
    const std::size_t read = std::fread(header, 1, kHeaderBytes, in);
    std::fclose(in);
    if (read == kHeaderBytes) return true;
  }
  return false;
}

// Whether the mass text names the masses, each within 0.1 % (a table of
// boron at 11 amu serves boron at 11.009, not boron-10 nor 10.811).
bool SameMasses(const std::string& tag, double w1, double w2) {
  double t1 = 0.0, t2 = 0.0;
  if (std::sscanf(tag.c_str(), "W1=%lf,W2=%lf", &t1, &t2) != 2) return false;
  auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-3 * std::fabs(b); };
  return near(t1, w1) && near(t2, w2);
}

}  // namespace

std::string MassTag(double w1, double w2) { return "W1=" + Mass(w1) + ",W2=" + Mass(w2); }

void WriteMassTag(char* header, double w1, double w2) {
  std::snprintf(header + kMassTagOffset, kMassTagBytes, "%s", MassTag(w1, w2).c_str());
}

std::string MassTagOf(const char* header) {
  const char* tag = header + kMassTagOffset;
  if (std::strncmp(tag, "W1=", 3) != 0) return "";
  return std::string(tag, strnlen(tag, kMassTagBytes));
}

std::string TableNameForMasses(const std::string& usualName, double w1, double w2) {
  char header[kHeaderBytes];
  if (!ReadHeader(usualName, header)) return usualName;
  const std::string found = MassTagOf(header);
  const std::string wanted = MassTag(w1, w2);
  if (found.empty() || SameMasses(found, w1, w2)) return usualName;
  const std::size_t dot = usualName.rfind('.');
  const std::string stem = usualName.substr(0, dot == std::string::npos ? usualName.size() : dot);
  const std::string extension = dot == std::string::npos ? "" : usualName.substr(dot);
  const std::string name = stem + "_" + Mass(w1) + "_" + Mass(w2) + extension;
  std::cout << "# " << usualName << " was made for " << found << "; the pair of " << wanted
            << " takes " << name << '\n';
  return name;
}

}  // namespace orvane
