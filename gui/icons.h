// Toolbar icons: the desktop theme's where it has one, drawn here otherwise
// and for the program's own commands.
#pragma once

#include <QIcon>

#include "app/frame_commands.h"

QIcon command_icon(command c);
// Reset zoom: a plot between two arrows pointing outwards.
QIcon reset_zoom_icon();
// The program's icon: a series over its trend.
QIcon program_icon();
