// Look-ups over the artwork that this folder embeds as Qt resources under ":/".
#pragma once

#include <QStringList>

namespace resources {

// The main icon's images, smallest first: ":/icons/quibra-16.png" up to ":/icons/quibra-128.png".
QStringList iconFiles();

} // namespace resources
