/*
** post_settings.cpp: the saved dialog settings record.
**
** Entries: settings_defaults, settings_pack, settings_unpack,
** settings_load, settings_save, and text_copy_cut (a bounded copy that
** never splits a double-byte character).  The record is packed byte by
** byte, integers little-endian, so its 192-byte layout does not depend on
** the compiler; the file is read and written in binary mode.
*/
#include "post/post.h"

#include "host/host_runtime.h"
#include "my_func/my_func.h"

#include <string.h>

/* Byte offsets of the record's fields. */
#define OFFSET_STR_0 0
#define OFFSET_STR_1 80
#define OFFSET_RADIO_4 160
#define OFFSET_INT_3 164
#define OFFSET_OPTION_6 168
#define OFFSET_RESERVED_172 172
#define OFFSET_RADIO_7 176
#define OFFSET_OPTION_9 180
#define OFFSET_TOGGLE_8 184
#define OFFSET_RESERVED_188 188

/* Puts the defaults of a first use into record: empty texts, layer 253,
** every choice 0, the reserved fields 0 and 1. */
void settings_defaults(dialog_settings *record)
{
  memset(record, 0, sizeof *record);
  record->int_3 = AIX_LAYER_DEFAULT;
  record->reserved_188 = 1;
}

/* Writes value as four bytes, least significant first. */
static void put_int32(unsigned char *bytes, int value)
{
  unsigned long u = (unsigned long)(unsigned int)value;

  bytes[0] = (unsigned char)(u & 0xFFu);
  bytes[1] = (unsigned char)((u >> 8) & 0xFFu);
  bytes[2] = (unsigned char)((u >> 16) & 0xFFu);
  bytes[3] = (unsigned char)((u >> 24) & 0xFFu);
}

/* Reads four bytes, least significant first, as a two's complement
** 32-bit value. */
static int get_int32(const unsigned char *bytes)
{
  unsigned long u = (unsigned long)bytes[0] | ((unsigned long)bytes[1] << 8) |
                    ((unsigned long)bytes[2] << 16) | ((unsigned long)bytes[3] << 24);

  if (u >= 0x80000000ul) {
    return (int)((long long)u - 0x100000000ll);
  }
  return (int)u;
}

/* Packs record into its 192 bytes. */
void settings_pack(const dialog_settings *record, unsigned char bytes[DIALOG_SETTINGS_SIZE])
{
  memcpy(bytes + OFFSET_STR_0, record->str_0, DIALOG_SETTINGS_TEXT_SIZE);
  memcpy(bytes + OFFSET_STR_1, record->str_1, DIALOG_SETTINGS_TEXT_SIZE);
  put_int32(bytes + OFFSET_RADIO_4, record->radio_4);
  put_int32(bytes + OFFSET_INT_3, record->int_3);
  put_int32(bytes + OFFSET_OPTION_6, record->option_6);
  put_int32(bytes + OFFSET_RESERVED_172, record->reserved_172);
  put_int32(bytes + OFFSET_RADIO_7, record->radio_7);
  put_int32(bytes + OFFSET_OPTION_9, record->option_9);
  put_int32(bytes + OFFSET_TOGGLE_8, record->toggle_8);
  put_int32(bytes + OFFSET_RESERVED_188, record->reserved_188);
}

/* Reads a choice field: a value outside 0..count-1 gives the default 0. */
static int get_choice(const unsigned char *bytes, int count)
{
  int value = get_int32(bytes);

  if (value < 0 || value >= count) {
    return 0;
  }
  return value;
}

/* Unpacks 192 bytes into record.  The file may be damaged: a text field
** without a terminator is cut to 79 bytes before any double-byte character
** that would not fit whole, and a choice outside its list becomes its
** default. */
void settings_unpack(const unsigned char bytes[DIALOG_SETTINGS_SIZE], dialog_settings *record)
{
  memcpy(record->str_0, bytes + OFFSET_STR_0, DIALOG_SETTINGS_TEXT_SIZE);
  memcpy(record->str_1, bytes + OFFSET_STR_1, DIALOG_SETTINGS_TEXT_SIZE);
  record->str_0[gbk_prefix_len(record->str_0, DIALOG_SETTINGS_TEXT_SIZE - 1)] = '\0';
  record->str_1[gbk_prefix_len(record->str_1, DIALOG_SETTINGS_TEXT_SIZE - 1)] = '\0';
  record->radio_4 = get_choice(bytes + OFFSET_RADIO_4, AIX_CHOICE_COUNT);
  record->int_3 = get_int32(bytes + OFFSET_INT_3);
  record->option_6 = get_choice(bytes + OFFSET_OPTION_6, PART_TYPE_CHOICE_COUNT);
  record->reserved_172 = get_int32(bytes + OFFSET_RESERVED_172);
  record->radio_7 = get_choice(bytes + OFFSET_RADIO_7, DESC_CHOICE_COUNT);
  record->option_9 = get_choice(bytes + OFFSET_OPTION_9, NC_EXT_CHOICE_COUNT);
  record->toggle_8 = get_choice(bytes + OFFSET_TOGGLE_8, SHOW_EXT_CHOICE_COUNT);
  record->reserved_188 = get_int32(bytes + OFFSET_RESERVED_188);
}

/* Reads the record from the settings file at path.  1 when a whole record
** was read; 0 when the file is missing, short or unreadable, and record
** then holds the defaults. */
int settings_load(const char *path, dialog_settings *record)
{
  unsigned char bytes[DIALOG_SETTINGS_SIZE];
  host_file *file;
  size_t got;

  file = host_fopen(path, "rb");
  if (file == NULL) {
    settings_defaults(record);
    return 0;
  }
  got = host_fread(bytes, 1, sizeof bytes, file);
  (void)host_fclose(file);
  if (got < sizeof bytes) {
    settings_defaults(record);
    return 0;
  }
  settings_unpack(bytes, record);
  return 1;
}

/* Writes the record to the settings file at path, created or truncated.
** *opened tells whether the file could be opened.  1 when the whole record
** was written; 0 when the file could not be opened or took less. */
int settings_save(const char *path, const dialog_settings *record, int *opened)
{
  unsigned char bytes[DIALOG_SETTINGS_SIZE];
  host_file *file;
  size_t put;

  *opened = 0;
  file = host_fopen(path, "wb");
  if (file == NULL) {
    return 0;
  }
  *opened = 1;
  settings_pack(record, bytes);
  put = host_fwrite(bytes, 1, sizeof bytes, file);
  if (host_fclose(file) != 0) {
    return 0;
  }
  return put == sizeof bytes;
}

/* Copies at most max bytes of src into dst (size bytes), cut so that no
** double-byte character is split, and terminates it. */
void text_copy_cut(char *dst, size_t size, const char *src, size_t max)
{
  size_t len;

  if (size == 0) {
    return;
  }
  if (max > size - 1) {
    max = size - 1;
  }
  len = gbk_prefix_len(src, max);
  memcpy(dst, src, len);
  dst[len] = '\0';
}
