#include "base/DiskError.h"

#include <cerrno>
#include <cstring>

#include "base/Ansi.h"
#include "base/RegularFile.h"

DiskError::DiskError(int number, QString description, QString path)
    : number_(number), description_(std::move(description)), path_(std::move(path))
{
    what_ = errorText().toLocal8Bit();
}

DiskError DiskError::FromErrno(int err, const QString& path) { return DiskError(err, FileErrorText(err), path); }

DiskErrorRow DiskError::row() const { return ClassifyDiskError(number_); }

QString DiskError::errorText() const
{
    QString text = QStringLiteral("Error %1:%2").arg(number_).arg(description_);
    if (!path_.isEmpty())
        text += QStringLiteral(" (%1)").arg(EscapeControls(path_));
    return text;
}

const char* DiskError::what() const noexcept { return what_.constData(); }

DiskErrorRow ClassifyDiskError(int number)
{
    switch (number) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case EIO:
    case ENOMEDIUM:
    case ESTALE:
    case ENAMETOOLONG:
    case ELOOP:
    case ErrShortRead: return DiskErrorRow::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return DiskErrorRow::WriteProtected;
    default: return DiskErrorRow::Other;
    }
}
