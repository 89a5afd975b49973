// The bounds-checked image readers, through the skin's bitmap loading.
#include "fuzz/Harness.h"

#include "gui/Bitmap.h"
#include "gui/Error.h"

#include <allegro.h>

namespace fuzz {

namespace {

int loadImage(const char* name, const std::uint8_t* data, std::size_t size)
{
    const std::string file = writeScratch(name, data, size);
    Bitmap bitmap;
    const Error e = bitmap.load(file.c_str());
    require(e == Error::NONE || e == Error::FILE_LOAD, "an image load is 0 or 13");
    require((e == Error::NONE) == !bitmap.empty(), "a loaded image holds a bitmap");
    if (!bitmap.empty()) {
        // Every pixel is read once, as a blit of the image would.
        BITMAP* copy = create_bitmap(bitmap.width(), bitmap.height());
        require(copy != nullptr, "room for a copy of a loaded image");
        blit(bitmap.bitmap(), copy, 0, 0, 0, 0, bitmap.width(), bitmap.height());
        destroy_bitmap(copy);
    }
    return 0;
}

} // namespace

int imageBmp(const std::uint8_t* data, std::size_t size) { return loadImage("image.bmp", data, size); }
int imagePcx(const std::uint8_t* data, std::size_t size) { return loadImage("image.pcx", data, size); }
int imageTga(const std::uint8_t* data, std::size_t size) { return loadImage("image.tga", data, size); }
int imageLbm(const std::uint8_t* data, std::size_t size) { return loadImage("image.lbm", data, size); }

} // namespace fuzz
