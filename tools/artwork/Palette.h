#pragma once
// The colours of our artwork: the blues of the headers, and the few warm and neutral
// tones the figures need. Every picture draws from this one set so they sit together.

#include <QColor>

namespace art::colour {

inline const QColor navy{0x0B, 0x2C, 0x66};
inline const QColor deepBlue{0x12, 0x48, 0x9A};
inline const QColor blue{0x1D, 0x66, 0xC4};
inline const QColor sky{0x45, 0x93, 0xE2};
inline const QColor pale{0xA4, 0xD2, 0xEC};
inline const QColor ice{0xE4, 0xF1, 0xFB};

inline const QColor ink{0x24, 0x2E, 0x3C};
inline const QColor slate{0x5E, 0x6D, 0x82};
inline const QColor steel{0x9A, 0xA9, 0xBB};
inline const QColor mist{0xD5, 0xDD, 0xE6};
inline const QColor paper{0xFB, 0xFC, 0xFD};

inline const QColor wood{0xB8, 0x78, 0x42};
inline const QColor woodDark{0x84, 0x50, 0x2A};
inline const QColor woodLight{0xD6, 0x9A, 0x5E};

inline const QColor green{0x2F, 0xA3, 0x52};
inline const QColor greenDark{0x1C, 0x75, 0x38};
inline const QColor greenLight{0x74, 0xCB, 0x8A};

inline const QColor red{0xDC, 0x45, 0x30};
inline const QColor redDark{0xA3, 0x2C, 0x1E};
inline const QColor orange{0xF3, 0x8D, 0x2A};
inline const QColor yellow{0xF6, 0xBA, 0x2C};

inline const QColor skin{0xF3, 0xC9, 0xA2};
inline const QColor skinShade{0xDC, 0xA4, 0x7C};
inline const QColor hair{0x4A, 0x33, 0x24};

// Key colour of the bitmaps whose background the program leaves out; used nowhere else.
inline const QColor key{0xFF, 0x00, 0xFF};
// Background of the button glyphs, their transparent colour.
inline const QColor silver{0xC0, 0xC0, 0xC0};

} // namespace art::colour
