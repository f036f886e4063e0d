#include "acquisition/jpeg_file.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <string>

#include "acquisition/frame_limits.h"

namespace orniva {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it
// jumps back to the setjmp of the stage that called into libjpeg. The stages
// below hold no object with a destructor between their setjmp and the calls,
// so the jump skips nothing but libjpeg's own C frames.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  char firstWarning[JMSG_LENGTH_MAX];  // the first warning about damaged image data
  long damaged;                        // how many such warnings
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings about bytes around the image data, not in it: junk before a
// marker (libjpeg skips it) and an unknown JFIF revision. Files written by
// careless programs have them and decode whole.
bool LeavesTheImageWhole(int messageCode) {
  return messageCode == JWRN_EXTRANEOUS_DATA || messageCode == JWRN_JFIF_MAJOR;
}

// Level -1 is a warning; traces are ignored. Every warning is counted in
// num_warnings as libjpeg does; those about damaged image data are counted
// apart, and the first of them is kept for the message.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  cinfo->err->num_warnings++;
  if (LeavesTheImageWhole(cinfo->err->msg_code)) return;
  if (err->damaged == 0) (*cinfo->err->format_message)(cinfo, err->firstWarning);
  err->damaged++;
}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.message[0] = 0;
  err.firstWarning[0] = 0;
  err.damaged = 0;
}

// A progressive stream can carry an unbounded number of scans; real files
// have a few dozen. Refusing more keeps a hostile file from taking minutes.
constexpr int kMaxScans = 500;

void ProgressMonitor(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "plus de %d passes", kMaxScans);
    std::longjmp(err->jump, 1);
  }
}

class Decoder {
 public:
  explicit Decoder(std::span<const uint8_t> data) : data_(data) {
    InitErrors(err_);
    cinfo_.err = &err_.pub;
  }
  ~Decoder() { jpeg_destroy_decompress(&cinfo_); }  // safe on a half-created one
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  bool ReadHeader() {
    if (setjmp(err_.jump)) return false;
    jpeg_create_decompress(&cinfo_);
    progress_.progress_monitor = ProgressMonitor;
    cinfo_.progress = &progress_;
    jpeg_mem_src(&cinfo_, data_.data(), static_cast<unsigned long>(data_.size()));
    jpeg_read_header(&cinfo_, TRUE);
    cinfo_.out_color_space = JCS_EXT_BGR;
    return true;
  }
  int Width() const { return static_cast<int>(cinfo_.image_width); }
  int Height() const { return static_cast<int>(cinfo_.image_height); }

  bool Decode(Image& into) {
    if (setjmp(err_.jump)) return false;
    jpeg_start_decompress(&cinfo_);
    if (cinfo_.output_components != 3 || static_cast<int>(cinfo_.output_width) != into.Width() ||
        static_cast<int>(cinfo_.output_height) != into.Height()) {
      std::snprintf(err_.message, sizeof err_.message, "sortie inattendue");
      return false;
    }
    while (cinfo_.output_scanline < cinfo_.output_height) {
      JSAMPROW row = into.ScanLine(static_cast<int>(cinfo_.output_scanline));
      jpeg_read_scanlines(&cinfo_, &row, 1);
    }
    jpeg_finish_decompress(&cinfo_);
    return true;
  }

  const char* Message() const { return err_.message; }
  bool ConversionRefused() const { return err_.pub.msg_code == JERR_CONVERSION_NOTIMPL; }
  long DamageWarnings() const { return err_.damaged; }
  const char* FirstWarning() const { return err_.firstWarning; }

 private:
  std::span<const uint8_t> data_;
  ErrorManager err_;
  jpeg_decompress_struct cinfo_{};
  jpeg_progress_mgr progress_{};
};

// Compressed output into a growing vector.
struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(std::max<size_t>(dest->out->capacity(), 64 * 1024));
  dest->pub.next_output_byte = dest->out->data();
  dest->pub.free_in_buffer = dest->out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  const size_t used = dest->out->size();
  dest->out->resize(used * 2);
  dest->pub.next_output_byte = dest->out->data() + used;
  dest->pub.free_in_buffer = dest->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

}  // namespace

ImageFileResult DecodeJpeg(std::span<const uint8_t> data, Image& image) {
  using E = ImageFileError;
  if (data.empty()) return {E::Empty};
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return {E::BadMagic};
  Decoder decoder(data);
  if (!decoder.ReadHeader()) return {E::Corrupt, 0, 0, decoder.Message()};
  const int w = decoder.Width(), h = decoder.Height();
  if (w <= 0 || h <= 0) return {E::BadSize};
  if (w > kMaxFrameWidth || h > kMaxFrameHeight) return {E::TooLarge, w, h};
  Image decoded(w, h);
  if (!decoder.Decode(decoded)) {
    return {decoder.ConversionRefused() ? E::Unsupported : E::Corrupt, w, h, decoder.Message()};
  }
  if (decoder.DamageWarnings() > 0) return {E::Corrupt, w, h, decoder.FirstWarning()};
  image.Assign(decoded);
  return {E::None, w, h};
}

bool EncodeJpeg(const Image& image, int quality, std::vector<uint8_t>& out) {
  out.clear();
  ErrorManager err;
  InitErrors(err);
  jpeg_compress_struct cinfo{};
  cinfo.err = &err.pub;
  VectorDestination dest{};
  dest.out = &out;
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyOutputBuffer;
  dest.pub.term_destination = TermDestination;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    out.clear();
    return false;
  }
  jpeg_create_compress(&cinfo);
  cinfo.dest = &dest.pub;
  cinfo.image_width = image.Width();
  cinfo.image_height = image.Height();
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, std::clamp(quality, 1, 100), TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.ScanLine(static_cast<int>(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace orniva
