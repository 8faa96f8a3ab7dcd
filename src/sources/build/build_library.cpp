// Builds library.db from the library's source table:
//   tavrin-build-library SOURCE.tsv OUTPUT.db
#include <fstream>
#include <iostream>

#include "sources/library_build.h"
#include "sources/library_error.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tavrin-build-library SOURCE.tsv OUTPUT.db\n";
    return 2;
  }
  std::ifstream source(argv[1], std::ios::binary);
  if (!source) {
    std::cerr << "tavrin-build-library: cannot read " << argv[1] << '\n';
    return 1;
  }
  // Built under a temporary name, so that a failed build leaves no database.
  const std::string output = argv[2];
  const std::string partial = output + ".part";
  try {
    const auto counts = tavrin::sources::BuildLibrary(source, partial);
    if (std::rename(partial.c_str(), output.c_str()) != 0) {
      std::cerr << "tavrin-build-library: cannot write " << output << '\n';
      return 1;
    }
    std::cout << "library.db: " << counts.texts << " texts, " << counts.lines << " lines\n";
  } catch (const tavrin::sources::LibraryError& error) {
    std::remove(partial.c_str());
    std::cerr << "tavrin-build-library: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
