#include "runtime/imageconv/codecs/jpeg_codec.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/file_replace.h"
#include "platform/files/file_stream.h"
#include "platform/files/files.h"
#include "platform/files/side_files.h"
#include "runtime/imageconv/byte_input.h"
#include "runtime/imageconv/image_size.h"
#include "runtime/jpeg/cmyk.h"

namespace runtime::imageconv::codecs {
namespace {

using namespace platform;

// Where the encoder writes: a fresh side file beside the destination, renamed
// over it once complete. Removes a side file that was not committed.
class JpegDestination {
 public:
  JpegDestination(const JpegDestination&) = delete;
  JpegDestination& operator=(const JpegDestination&) = delete;
  // Makes the side file; Stream() is null when none can be made.
  explicit JpegDestination(const char* path) {
    // A link at the destination stays: the file it leads to is replaced, so
    // the side file is made beside that one.
    if (auto target = ResolveLinksA(path); target && MayReplaceA(target->c_str())) {
      target_ = std::move(*target);
      // Side files of writers that died would pile up beside the destination.
      ReclaimSideFilesA(target_.c_str());
      OpenSideFile();
    }
  }
  ~JpegDestination() {
    stream_.reset();
    if (!sidePath_.empty()) DeleteSideFileA(sidePath_.c_str());
  }

  FILE* Stream() const { return stream_.get(); }

  // Closes the stream and puts the complete file in place. The data reach
  // the disk before the rename, so that a crash leaves the old file or the
  // new one, never an empty one.
  bool Commit() {
    ScopedStream stream(stream_.release());
    if (!stream || !FlushToDisk(stream.get())) return false;
    if (std::fclose(stream.release()) != 0) return false;
    if (!MoveFileExA(sidePath_.c_str(), target_.c_str(), true)) return false;
    sidePath_.clear();
    return true;
  }

 private:
  void OpenSideFile() {
    std::string name;
    ScopedHandle file(CreateSideFileA(target_.c_str(), &name));
    if (!file.IsValid()) return;
    // The new file gets the old one's permissions before any data; the
    // stream keeps the side file held after the handle closes.
    ScopedStream stream(FileStreamFromHandle(file.Get(), "wb"));
    if (stream && TakeOverPermissionsA(stream.get(), target_.c_str())) {
      stream_ = std::move(stream);
      sidePath_ = std::move(name);
    } else {
      stream.reset();
      DeleteSideFileA(name.c_str());
    }
  }

  std::string target_;  // the file that is replaced, links followed
  std::string sidePath_;
  ScopedStream stream_;
};

// Encodes every row of `pixels` into `out`. The encoder is gone when this
// returns, before the destination is committed.
bool Encode(FILE* out, const ImageBuffer& pixels, const JpegEncodeSettings& settings, ProgressCallback progress,
            const RowFeed* feed) {
  JpegEncoder encoder = JpegBeginEncode(out, &settings);
  return encoder && JpegEncodeRows(encoder.get(), pixels.Pixels(), pixels.Stride(), progress, feed) &&
         JpegFinishEncode(encoder.get());
}

}  // namespace

bool JpegCodec::Open(const char* path, ImageBuffer* target, ProgressCallback progress) {
  Reset();
  OpenFile file;
  if (!file.source.OpenStream(path, target, progress)) return false;
  FILE* in = file.source.stream.get();
  std::array<uint8_t, 2> marker{};
  if (!ReadExact(in, marker.data(), marker.size()) || marker[0] != 0xFF || marker[1] != 0xD8 || !SeekTo(in, 0)) {
    return false;
  }
  file.decoder = JpegBeginDecode(in);
  if (!file.decoder) return false;
  const jpeg_decompress_struct& info = file.decoder->info;
  const int components = info.output_components;
  const bool cmyk = components == 4 && info.out_color_space == JCS_CMYK;
  if (info.output_width == 0 || info.output_height == 0 || (components != 1 && components != 3 && !cmyk) ||
      !CheckedImageBytes(info.output_width, info.output_height, cmyk ? 3 : components)) {
    return false;
  }
  file.width = static_cast<int32_t>(info.output_width);
  file.height = static_cast<int32_t>(info.output_height);
  file.colour = components != 1;
  file.cmyk = cmyk;
  // Files with the Adobe marker store CMYK inverted (255 = no ink).
  file.invertedCmyk = cmyk && info.saw_Adobe_marker;
  file_ = std::move(file);
  return true;
}

bool JpegCodec::Read() {
  const std::optional<OpenFile> taken = TakeForRead();
  if (!taken) return false;
  const OpenFile& file = *taken;
  ImageBuffer& image = *file.source.target;
  if (!image.Create(file.width, file.height, file.colour ? 24 : 8, 0)) return FailRead(image);
  const auto width = static_cast<size_t>(file.width);
  // CMYK rows are decoded beside the image and turned into colour.
  std::vector<uint8_t> cmykLine(file.cmyk ? width * 4 : 0);
  for (int32_t y = 0; y < file.height; ++y) {
    uint8_t* row = image.Row(y);
    if (!JpegReadRow(file.decoder.get(), file.cmyk ? cmykLine.data() : row)) return FailRead(image);
    if (file.cmyk) {
      runtime::jpeg::CmykRowToColour(cmykLine.data(), row, width, file.invertedCmyk, runtime::jpeg::ChannelOrder::Rgb);
    }
    ReportProgress(file.source.progress, kProgressReading, y, file.height);
  }
  return true;
}

int32_t JpegCodec::Save(const char* path, const ImageBuffer& source, const JpegSaveOptions& options,
                        ProgressCallback progress, const RowFeed* feed) {
  if (!path || !source.HoldsImage() || source.Width() < 1 || source.Height() < 1) return 0;

  // The encoder takes red, green, blue bytes, or grey levels without a palette.
  ImageBuffer converted;
  const ImageBuffer* pixels = &source;
  const bool direct = options.colour ? source.Depth() == 24 : source.Depth() == 8 && source.PaletteSize() == 0;
  if (!direct) {
    // A conversion needs every row.
    if ((feed && !feed->WaitFor(source.Height())) || !source.ConvertTo(converted, options.colour ? 24 : 8)) return 0;
    pixels = &converted;
  }

  JpegDestination destination(path);
  if (!destination.Stream()) return 0;
  // Converted rows are all there; only the source's own rows come through
  // the feed.
  const RowFeed* rowFeed = pixels == &source ? feed : nullptr;
  const JpegEncodeSettings settings{static_cast<uint32_t>(pixels->Width()),
                                    static_cast<uint32_t>(pixels->Height()),
                                    !options.colour,
                                    options.quality,
                                    options.optimize,
                                    options.smoothing};
  return Encode(destination.Stream(), *pixels, settings, progress, rowFeed) && destination.Commit() ? 1 : 0;
}

}  // namespace runtime::imageconv::codecs
