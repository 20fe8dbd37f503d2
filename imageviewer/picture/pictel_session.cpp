#include "imageviewer/picture/pictel_session.h"

#include "common/files/program_folder.h"

PictelSession::PictelSession(QString programFolder) : folder(files::withTrailingSlash(programFolder)) {}
