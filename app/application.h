// What every process that shows the converter window sets up first: the
// application's name, version and description, its icon, and one look.
#pragma once

class QApplication;
class QIcon;

namespace quillet {

inline constexpr const char* kApplicationName = "GPS Quillet";
inline constexpr const char* kApplicationVersion = "1.00";
inline constexpr const char* kApplicationDescription =
    "Converts GPS coordinates (longitude, latitude, and UTM) to different formats.";

void ConfigureApplication(QApplication& application);

// The window's icon: the pictures of app/resources/gps-quillet.png and
// gps-quillet-64.png.
QIcon WindowIcon();

}  // namespace quillet
