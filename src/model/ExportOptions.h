#pragma once
// The choices of one export, as the conversion reads them. Text fields travel exactly as typed.

#include <array>
#include <optional>
#include <string>

namespace talvik {

struct ExportOptions {
    std::string Projectfile;              // trimmed by whoever fills it
    std::string Fieldfile;                // trimmed by whoever fills it
    std::optional<std::string> IdexFile;  // none: the project gets only the field file's points
    int Version = 3;                      // 1 or 3
    bool Face2to1 = false;
    std::string AbsHor = "0.003";
    std::string RelHor = "0.0003";
    std::string AbsVer = "0.003";
    std::string RelVer = "0.0003";
    std::string AbsDis = "0.002";
    std::string RelDis = "2";
    std::string SDXY = "0.003";
    std::string SDZ = "0.003";
    std::string SigmaCent = "0.003";
    std::string SigmaInst = "0.005";
    std::array<std::string, 17> SelCode{"", "999"};  // index 1..16; index 0 unused
};

}  // namespace talvik
