// JPEG decoder on libjpeg. Every libjpeg error prints the library's message
// on the standard error stream and ends the decoding quietly: rows not yet
// decoded stay black. The data comes through OCFile, so a picture packed
// into an archive (stored or compressed) decodes like a loose file; running
// out of data is such an error, which keeps a truncated picture's missing
// rows black.
#include "gfx/OCImage.h"
#include "archive/OCFile.h"
#include <cstdio>
#include <csetjmp>
#include <jpeglib.h>
#include <jerror.h>

namespace {

// The standard error manager with a way back to DecodeJpeg.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf back;
};

void OnJpegFatal(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    longjmp(((JpegErrorManager*)cinfo->err)->back, 1);
}

// A source manager that reads through OCFile in blocks.
struct JpegFileSource {
    jpeg_source_mgr pub;
    OCFile* file;
    JOCTET buffer[4096];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
    JpegFileSource* src = (JpegFileSource*)cinfo->src;
    unsigned got = src->file->Read(src->buffer, sizeof src->buffer);
    if (got == 0) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* src = cinfo->src;
    if (count <= 0) return;
    while ((size_t)count > src->bytes_in_buffer) {
        count -= (long)src->bytes_in_buffer;
        FillInput(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= count;
}

void AttachSource(j_decompress_ptr cinfo, JpegFileSource& src, OCFile& file) {
    src.file = &file;
    src.pub.init_source = InitSource;
    src.pub.fill_input_buffer = FillInput;
    src.pub.skip_input_data = SkipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermSource;
    src.pub.bytes_in_buffer = 0;
    src.pub.next_input_byte = NULL;
    cinfo->src = &src.pub;
}

// Decodes into `image`; any libjpeg error longjmps out of here.
void ReadJpeg(jpeg_decompress_struct& cinfo, OCImage& image) {
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;                 // greyscale pictures too
    jpeg_start_decompress(&cinfo);
    JDIMENSION width = cinfo.output_width;
    int components = cinfo.output_components;
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)((j_common_ptr)&cinfo, JPOOL_IMAGE,
                                                 width * components, 1);
    image.Create((int)width, (int)cinfo.output_height, 24);
    if (!image.GetPixels() || components < 3) return;
    int height = (int)cinfo.output_height;
    while (cinfo.output_scanline < cinfo.output_height) {
        int i = (int)cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, line, 1);
        const JSAMPLE* src = line[0];
        BYTE* dst = image.Row(height - 1 - i);
        for (JDIMENSION x = 0; x < width; x++, src += components, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    jpeg_finish_decompress(&cinfo);
}

}  // namespace

void OCImage::DecodeJpeg(OCFile& file) {
    file.Seek(0, SEEK_SET);
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    JpegFileSource source;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegFatal;
    if (setjmp(err.back)) {
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    AttachSource(&cinfo, source, file);
    ReadJpeg(cinfo, *this);
    jpeg_destroy_decompress(&cinfo);
}
