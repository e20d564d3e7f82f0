#include "resources/Resources.h"

namespace resources {

QStringList iconFiles() {
    QStringList files;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        files << QStringLiteral(":/icons/quibra-%1.png").arg(size);
    return files;
}

} // namespace resources
