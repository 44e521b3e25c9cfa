#include "TestSupport.h"

#include <fstream>
#include <sstream>

namespace quillet::test {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

std::string Fixture(const std::string& name) { return std::string(QUILLET_FIXTURES) + "/" + name; }

}  // namespace quillet::test
