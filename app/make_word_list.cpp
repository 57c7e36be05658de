// make_word_list SOURCE TARGET
//
// Makes the default word list: keeps the lines of SOURCE made only of the letters
// a to z (no proper nouns, no possessives, no accents) and writes them to TARGET
// with CRLF line ends.

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_word_list SOURCE TARGET\n";
        return 2;
    }
    std::ifstream source(argv[1], std::ios::binary);
    std::ofstream target(argv[2], std::ios::binary);
    if (!source || !target) {
        std::cerr << "make_word_list: can't open " << (source ? argv[2] : argv[1]) << '\n';
        return 1;
    }
    for (std::string line; std::getline(source, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() &&
            line.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos) {
            target << line << "\r\n";
        }
    }
    return target.good() ? 0 : 1;
}
