#pragma once
// The platform's table of standard papers and its paper, bin and duplex
// numbers. Report pages store these numbers, so papers and trays of real
// printers are mapped onto them (Printers.h).

#include "TypeInfo.h"

#include <span>

namespace plat {

enum TPrinterOrientation { poPortrait, poLandscape };
PLAT_DECLARE_ENUM(TPrinterOrientation)

// One row of the paper table: the paper number, a name (the table carries
// none), width and height in tenths of a millimetre, portrait.
struct TPaperInfo {
    int Number;
    const char* Name;
    int Width;
    int Height;
};

inline constexpr int DMPAPER_LETTER = 1;
inline constexpr int DMPAPER_A3 = 8;
inline constexpr int DMPAPER_A4 = 9;
inline constexpr int DMPAPER_A5 = 11;
inline constexpr int DMPAPER_USER = 256;  // a size of the caller's own
inline constexpr int kFirstOwnPaper = 257; // papers outside the table

inline constexpr int DMBIN_UPPER = 1;
inline constexpr int DMBIN_LOWER = 2;
inline constexpr int DMBIN_MIDDLE = 3;
inline constexpr int DMBIN_MANUAL = 4;
inline constexpr int DMBIN_ENVELOPE = 5;
inline constexpr int DMBIN_ENVMANUAL = 6;
inline constexpr int DMBIN_AUTO = 7;
inline constexpr int DMBIN_TRACTOR = 8;
inline constexpr int DMBIN_LARGECAPACITY = 11;
inline constexpr int DMBIN_FORMSOURCE = 15;
inline constexpr int kFirstOwnBin = 257; // trays without a number of their own

inline constexpr int DMDUP_SIMPLEX = 1;
inline constexpr int DMDUP_VERTICAL = 2;   // turned over the long edge
inline constexpr int DMDUP_HORIZONTAL = 3; // turned over the short edge

// Papers 1 to 47 and 50 to 68 (48 and 49 are not standard sizes).
inline constexpr TPaperInfo PaperInfo[] = {
    {1, "", 2159, 2794},   {2, "", 2159, 2794},   {3, "", 2794, 4318},   {4, "", 4318, 2794},
    {5, "", 2159, 3556},   {6, "", 1397, 2159},   {7, "", 1842, 2667},   {8, "", 2970, 4200},
    {9, "", 2100, 2970},   {10, "", 2100, 2970},  {11, "", 1480, 2100},  {12, "", 2500, 3540},
    {13, "", 1820, 2570},  {14, "", 2159, 3302},  {15, "", 2150, 2750},  {16, "", 2540, 3556},
    {17, "", 2794, 4318},  {18, "", 2159, 2794},  {19, "", 984, 2254},   {20, "", 1048, 2413},
    {21, "", 1143, 2635},  {22, "", 1207, 2794},  {23, "", 1270, 2921},  {24, "", 4318, 5588},
    {25, "", 5588, 8636},  {26, "", 8636, 11176}, {27, "", 1100, 2200},  {28, "", 1620, 2290},
    {29, "", 3240, 4580},  {30, "", 2290, 3240},  {31, "", 1140, 1620},  {32, "", 1140, 2290},
    {33, "", 2500, 3530},  {34, "", 1760, 2500},  {35, "", 1760, 1250},  {36, "", 1100, 2300},
    {37, "", 984, 1905},   {38, "", 920, 1651},   {39, "", 3778, 2794},  {40, "", 2159, 3048},
    {41, "", 2159, 3302},  {42, "", 2500, 3530},  {43, "", 1000, 1480},  {44, "", 2286, 2794},
    {45, "", 2540, 2794},  {46, "", 3810, 2794},  {47, "", 2200, 2200},  {50, "", 2355, 3048},
    {51, "", 2355, 3810},  {52, "", 2969, 4572},  {53, "", 2354, 3223},  {54, "", 2101, 2794},
    {55, "", 2100, 2970},  {56, "", 2355, 3048},  {57, "", 2270, 3560},  {58, "", 3050, 4870},
    {59, "", 2159, 3223},  {60, "", 2100, 3300},  {61, "", 1480, 2100},  {62, "", 1820, 2570},
    {63, "", 3220, 4450},  {64, "", 1740, 2350},  {65, "", 2010, 2760},  {66, "", 4200, 5940},
    {67, "", 2970, 4200},  {68, "", 3220, 4450},
};
static_assert(std::size(PaperInfo) == 66);

constexpr std::span<const TPaperInfo> PaperTable() { return PaperInfo; }

// The row of a paper number; nullptr when the table lacks it.
constexpr const TPaperInfo* FindPaperInfo(int number)
{
    for (const TPaperInfo& p : PaperInfo)
        if (p.Number == number)
            return &p;
    return nullptr;
}

// The size in millimetres of a paper of the table, portrait; false (and the
// values untouched) for a number the table lacks.
bool LookupPaperSize(int number, long double& width, long double& height);

// The first paper of the table of that size (tenths of a millimetre, as
// given, not turned), within half a millimetre; 0 when there is none.
int PaperNumberForSize(int width, int height);

} // namespace plat
