// Every text the main window and its helpers show: the command captions, the
// messages of the message line, and the conversions between numbers and the
// texts the user reads or types. All texts are Latin-1 bytes;
// app/MainDialog.cpp and app/SecondaryWindows.cpp use them.
#pragma once

#include <cstdint>
#include <string>

#include "route/Route.h"

namespace texts {
// Message line.
inline constexpr const char loadFailed[] = "Viga faili lugemisel! V\xf5ib-olla ei ole vorming sobiv?";
inline constexpr const char fileLoaded[] = "Fail laetud.";
inline constexpr const char buildFailed[] = "Viga mudeli koostamisel! M\xe4lu ei j\xe4tkunud v\xf5i lapi suurus ei sobi.";
inline constexpr const char pickFirstPoint[] =
    "Vali esimene teekonna punkt (vajuta joonisel VASAKUT hiireklahvi)!";
inline constexpr const char pickSecondPoint[] =
    "Vali teine teekonna punkt (vajuta joonisel PAREMAT hiireklahvi)!";
inline constexpr const char routeFoundPrefix[] = "Leitud tee pikkus: ";
inline constexpr const char routeFoundSuffix[] = "m.";
inline constexpr const char sameVertex[] = "Algus ja l\xf5pptipp sama!";
inline constexpr const char noRoute[] = "Teed ei leitud!";
// Real maps (with a sidecar) only.
inline constexpr const char routeKeys[] = "Ctrl+S: salvesta, Ctrl+P: profiil.";
inline constexpr const char savedPrefix[] = "Tee salvestatud: ";
inline constexpr const char saveFailed[] = "Viga tee salvestamisel!";
inline constexpr const char noRouteYet[] = "Teed pole veel leitud.";

// Main window.
inline constexpr const char title[] = "* Vaskur *";
inline constexpr const char triangleCaption[] = "Kolmnurki mudelis:";
inline constexpr const char vertexCaption[] = "Graafi tippe:";
inline constexpr const char edgeCaption[] = "Graafi servi:";
inline constexpr const char load[] = "LOE KAART";
inline constexpr const char clear[] = "T\xdcHJENDA";
inline constexpr const char heightMap[] = "K\xd5RGUSKAART";
inline constexpr const char model[] = "MUDEL";
inline constexpr const char vertices[] = "GRAAFI TIPUD";
inline constexpr const char graph[] = "GRAAF";
inline constexpr const char search[] = "OTSI";
inline constexpr const char quickSearch[] = "KIIROTSING";
inline constexpr const char leave[] = "V\xc4LJU";

// File selector of the load command.
inline constexpr const char fileSelectorTitle[] = "Vali k\xf5rguskaart!";
inline constexpr const char fileSelectorMask[] = "K\xf5rguskaardid (*.raw)";

// Model parameters window.
inline constexpr const char parametersTitle[] = "Mudeli parameetrid";
inline constexpr const char patchSizeCaption[] = "\xdche maastiku lapi suurus:";
inline constexpr const char thresholdCaption[] = "Kolmnurga poolitamiseks n\xf5utav vahe:";
inline constexpr const char defaultThreshold[] = "25";
inline constexpr const char buildModel[] = "Koosta mudel";

// Information window.
inline constexpr const char informationTitle[] = "Informatsioon";
inline constexpr const char programName[] = "Voduzediruzaduruvo 'Vaskur'";
inline constexpr const char creditLine1[] = "Teekonnad maastikul: kolmnurgad ja graaf";
inline constexpr const char creditLine2[] = "Autorid: Vaskuri arendajad";
inline constexpr const char creditLine3[] = "Allegro 4 ja DejaVu kirjad";
inline constexpr const char creditLine4[] = "T\xe4nu k\xf5igile katsetajatele!";
inline constexpr const char closeWindow[] = "Sulge aken";

// Elevation profile window.
inline constexpr const char profileTitle[] = "K\xf5rgusprofiil";
} // namespace texts

// A route length as an output stream writes a float with default settings
// in the classic locale: six significant digits, exponent form for decimal
// exponents below -4 or from 6 on, no trailing zeros or point.
std::string formatRouteLength(float length);

// The message after a search: the found length ("Leitud tee pikkus: ...m."),
// or the same-vertex or no-route text.
std::string routeResultMessage(const Route& route);

// A distance on the ground: whole metres below 1 km ("296 m"), else km with
// one decimal and a decimal comma ("31,5 km").
std::string formatGroundDistance(double metres);
// A walking time in whole minutes: "42 min", "9 h 5 min".
std::string formatWalkingTime(double seconds);

// The message after a route on a real map: ground distance, climb, descent
// and walking time, then the keys that save the route and show its profile.
std::string realRouteMessage(double groundMetres, double climbMetres, double descentMetres, double walkSeconds);
// The climb, descent and time alone, as the profile window shows them.
std::string routeClimbText(double climbMetres, double descentMetres, double walkSeconds);

// The message after loading a real map: its size in km, the sample spacing
// and the height range in metres ("Fail laetud. 29,9 \xd7 29,9 km, samm 117 m,
// k\xf5rgus 245-1053 m.").
std::string realMapLoadedMessage(double extentMetres, double spacingMetres, double lowestMetres,
    double highestMetres);

// A text read as the standard text-to-integer conversion reads it: leading
// blanks, an optional sign, then digits up to the first non-digit; no digits
// give 0. Values past the int32 range are held at its ends.
int32_t textToInt(const char* text);

// The split threshold typed by the user: textToInt, then the build's
// threshold rule (route/ModelBuild.h's buildThreshold).
int32_t thresholdFromText(const char* text);
