#include "FileStamp.h"

#include <sys/stat.h>

namespace zelvorin::platform {

FileStamp fileStamp(const QByteArray& rawPath) {
    FileStamp stamp;
    struct stat info {};
    if (rawPath.isEmpty() || ::stat(rawPath.constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.regular = S_ISREG(info.st_mode);
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedSeconds = qint64(info.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = qint64(info.st_mtim.tv_nsec);
    return stamp;
}

} // namespace zelvorin::platform
