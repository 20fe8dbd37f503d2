#pragma once

#include <QString>

// What one run of the image viewer keeps: its program folder, the file that "Sauver" writes (the
// one last opened or saved), and the picture's width and height that the size dialog reads and
// hands back.
struct PictelSession
{
    explicit PictelSession(QString programFolder);

    QString folder; // ends with "/"
    QString currentFile;
    double imageWidth = 0;
    double imageHeight = 0;
};
