// The fixed message of each error code and which codes are fatal.
#include "gui/Error.h"

namespace {

const char* const messages[] = {
    "No error.\n",
    "Error: initializing Allegro!\n",
    "Error: installing keyboard module!\n",
    "Error: installing mouse module!\n",
    "Error: installing timer module!\n",
    "Error: initializing graphics mode!\n",
    "Error: installing sound module!\n",
    "Error: ran out of memory!!!\n",
    "Error: ran out of video memory!\n",
    "Error: triple buffering unavailable!\n",
    "Error: skin description file not found!\n",
    "Error: skin data file not found!\n",
    "Error: file not found!\n",
    "Error: couldn't load file!\n",
    "Error: Allegro Font error!\n",
    "Error: array index out of bounds!\n",
    "An unknown error occured!\n",
};

}  // namespace

const char* Error::message() const
{
    if (code_ < NONE || code_ > UNKNOWN)
        return messages[UNKNOWN];
    return messages[code_];
}

bool Error::isFatal() const
{
    return code_ != NONE && code_ != SOUND;
}
