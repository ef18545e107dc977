// PNG reading and writing for the Windows build, where no PNG library is at hand. It offers the
// calling conventions of the common C PNG interface for the subset that our tools and tests use, so
// tools/png_file.h compiles unchanged on both stacks.
//
// Writing: 8-bit grey, grey+alpha, RGB or RGBA rows, non-interlaced, as stored (uncompressed)
// deflate blocks. Reading: any non-interlaced PNG of bit depth 1 to 16 and any colour type, delivered
// as 8-bit rows (grey widened to RGB and alpha dropped when asked). Errors jump to png_jmpbuf.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

typedef unsigned char png_byte;
typedef png_byte* png_bytep;
typedef png_byte** png_bytepp;
typedef unsigned int png_uint_32;
typedef size_t png_size_t;
typedef void* png_voidp;
typedef const char* png_const_charp;

struct png_struct_def;
struct png_info_def;
typedef png_struct_def* png_structp;
typedef png_struct_def** png_structpp;
typedef png_info_def* png_infop;
typedef png_info_def** png_infopp;
typedef void (*png_error_ptr)(png_structp, png_const_charp);

#define PNG_LIBPNG_VER_STRING "1.6.39"

#define PNG_COLOR_TYPE_GRAY 0
#define PNG_COLOR_TYPE_RGB 2
#define PNG_COLOR_TYPE_PALETTE 3
#define PNG_COLOR_TYPE_GRAY_ALPHA 4
#define PNG_COLOR_TYPE_RGB_ALPHA 6
#define PNG_COLOR_TYPE_RGBA PNG_COLOR_TYPE_RGB_ALPHA
#define PNG_INTERLACE_NONE 0
#define PNG_COMPRESSION_TYPE_DEFAULT 0
#define PNG_COMPRESSION_TYPE_BASE 0
#define PNG_FILTER_TYPE_DEFAULT 0
#define PNG_FILTER_TYPE_BASE 0

// The jump buffer that a failing call returns to.
std::jmp_buf& png_jump_buffer(png_structp png);
#define png_jmpbuf(png) (png_jump_buffer(png))

png_structp png_create_write_struct(png_const_charp version, png_voidp errorData, png_error_ptr errorFn,
                                    png_error_ptr warnFn);
png_structp png_create_read_struct(png_const_charp version, png_voidp errorData, png_error_ptr errorFn,
                                   png_error_ptr warnFn);
png_infop png_create_info_struct(png_structp png);
void png_destroy_write_struct(png_structpp png, png_infopp info);
void png_destroy_read_struct(png_structpp png, png_infopp info, png_infopp endInfo);
void png_init_io(png_structp png, std::FILE* file);

void png_set_IHDR(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height, int bitDepth,
                  int colorType, int interlace, int compression, int filter);
void png_write_info(png_structp png, png_infop info);
void png_write_row(png_structp png, const png_byte* row);
void png_write_end(png_structp png, png_infop info);

void png_read_info(png_structp png, png_infop info);
void png_set_expand(png_structp png);
void png_set_strip_16(png_structp png);
void png_set_strip_alpha(png_structp png);
void png_set_gray_to_rgb(png_structp png);
void png_read_update_info(png_structp png, png_infop info);
png_uint_32 png_get_image_width(png_structp png, png_infop info);
png_uint_32 png_get_image_height(png_structp png, png_infop info);
png_size_t png_get_rowbytes(png_structp png, png_infop info);
void png_read_row(png_structp png, png_bytep row, png_bytep displayRow);
