// "Save image...": a plot window as a picture of its size.
#pragma once

#include <QString>

class QWidget;

// PNG or SVG by the path's suffix (any case). False with a message in
// *error for any other suffix or when the file cannot be written.
bool save_image(QWidget& plot, const QString& path, QString* error);
