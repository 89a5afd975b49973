// The framework's error codes and their messages; most framework calls
// return one.
#pragma once

// The framework's failure value: one integer code with a fixed message.
// Failures are returned, never thrown or printed.
class Error {
public:
    enum Code {
        NONE = 0,
        ALLEGRO_INIT = 1,
        KEYBOARD = 2,
        MOUSE = 3,
        TIMER = 4,
        GFX_MODE = 5,
        SOUND = 6,
        OUT_OF_MEMORY = 7,
        OUT_OF_VIDEO_MEMORY = 8,
        TRIPLE_BUFFERING = 9,
        SKIN_DESCRIPTION_NOT_FOUND = 10,
        SKIN_DATAFILE_NOT_FOUND = 11,
        FILE_NOT_FOUND = 12,
        FILE_LOAD = 13,
        FONT = 14,
        INDEX_OUT_OF_BOUNDS = 15,
        UNKNOWN = 16,
    };

    Error(int code = NONE) : code_(code) {}
    virtual ~Error() = default;
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;

    // The text of the code (ends with a line feed). Codes outside 0..16 read
    // as the unknown error.
    virtual const char* message() const;
    // True for every code except 0 and 6 (a sound failure is only a warning).
    virtual bool isFatal() const;
    bool operator==(const Error& other) const { return code_ == other.code_; }
    bool operator!=(const Error& other) const { return code_ != other.code_; }

    int code() const { return code_; }

private:
    int code_;
};
