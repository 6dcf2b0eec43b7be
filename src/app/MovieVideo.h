// Videos of movies: the frames the renderer draws on its virtual clock, encoded by ffmpeg
// as MP4 (H.264), WebM (VP9), GIF or animated WebP, with the movie's sounds placed at
// their frames in MP4 and WebM.
#pragma once

#include <string>
#include <vector>

namespace tarvenox {

struct MovieVideo {
    std::string movie;
    std::string output;  // its extension chooses the format
    // The length: frames pictures, else seconds, else one pass of the main timeline.
    int frames = 0;
    double seconds = 0;
    double fps = 0;  // 0: the movie's frame rate
    // The largest picture, as for MoviePicture; 0 for the stage's own size.
    int maxWidth = 0;
    int maxHeight = 0;
};

// Whether the path's extension names a video format written here (.mp4, .webm, .gif,
// .webp, in any case).
bool isVideoOutput(const std::string& path);

// The ffmpeg arguments that encode frames raw RGBA pictures of width x height from
// standard input at fps into temporary, in the format of output's extension; sounds are
// sound files ffmpeg reads, each played plays times in a row from each of its delays (in
// milliseconds from the start), for MP4 and WebM.
struct VideoSound {
    std::string path;
    int plays = 1;
    std::vector<long> delaysMs;
};
std::vector<std::string> encoderArguments(const std::string& output, const std::string& temporary, int width,
                                          int height, double fps, int frames, const std::vector<VideoSound>& sounds);

// A temporary folder for the files a video is made from (the sounds, the saved movie),
// created at the first file and removed with everything in it at the end of the scope.
class ScratchFolder {
public:
    ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    // The path of a file called name in the folder. Throws CommandError when the folder
    // cannot be created.
    std::string file(const std::string& name);

private:
    std::string path_;
};

// Writes every video in one run of the browser, a page a core. A video that fails (its
// movie cannot be read, the player or the encoder fails) leaves no file and ends no other:
// the result holds a line per video, empty when it was written, else why not. Throws
// CommandError, with one line, when ffmpeg (or what renderMoviePictures needs) is missing.
std::vector<std::string> renderEachMovieVideo(const std::vector<MovieVideo>& videos, bool progress = false);

// As renderEachMovieVideo, but the first video that fails throws its line as CommandError.
void renderMovieVideos(const std::vector<MovieVideo>& videos, bool progress = false);

}  // namespace tarvenox
