#include "gui/save_image.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

bool save_image(QWidget& plot, const QString& path, QString* error) {
    auto fail = [&](const QString& text) {
        if (error) *error = text;
        return false;
    };
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QSize size = plot.size();
    if (suffix == "png") {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        plot.render(&image);
        if (!image.save(path, "PNG")) return fail(QString("Cannot write the image %1.").arg(path));
        return true;
    }
    if (suffix == "svg") {
        // QSvgGenerator reports no write errors: check the file can be opened first.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) return fail(QString("Cannot write the image %1: %2").arg(path, probe.errorString()));
        probe.close();
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(plot.windowTitle());
        QPainter painter(&svg);
        plot.render(&painter);
        return true;
    }
    return fail(QString("Unknown image type \"%1\": choose a name ending in .png or .svg.").arg(QFileInfo(path).suffix()));
}
