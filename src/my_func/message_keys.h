/*
** message_keys.h: every message key the module looks up, by family.
**
** A family is a routine prefix and a count n: the keys prefix01: to
** prefixnn:, all in one language file of the folder LANG_FOLDER.  The
** routines that load a family in a loop take their count from here, and
** MESSAGE_KEY_FAMILIES lists every family for the installation checker of
** the runner, so that the keys the module asks for are written down once.
*/
#ifndef NCSHEET_MY_FUNC_MESSAGE_KEYS_H
#define NCSHEET_MY_FUNC_MESSAGE_KEYS_H

/* The two language files: the command's and the utility library's. */
#define COMMAND_LANG_NAME "ncsheet_elec_uni.txt"
#define MY_FUNC_LANG_NAME "my_func.txt"

/* Families of the command's language file. */
#define UFUSR_KEY_COUNT 3
#define DID_YOU_KNO_KEY_COUNT 11
#define SELECT_AL_KEY_COUNT 11
#define CHECK_MC_KEY_COUNT 2
#define OK_CB_KEY_COUNT 2
#define POST_PRO_KEY_COUNT 16
#define IMPORT_PROG_DRA_KEY_COUNT 16
#define IMPORT_PROG_DRA_1_KEY_COUNT 4
#define PROG_D_NOT_KEY_COUNT 34
#define CREATE_MODL_VIE_KEY_COUNT 3
#define IMPORT_VIE_KEY_COUNT 1
#define CREATE_MCS_ORI_POIN_KEY_COUNT 1
#define ANALY_ELEC_WC_KEY_COUNT 2 /* each of the top, front and right views */

/* Families of the utility library's language file. */
#define READ_CONFIG_VALUE_KEY_COUNT 9
#define READ_CONFIG_VALUE_CHAR_KEY_COUNT 9
#define MY_SELECT_SCREEN_VIEW_SOLI_KEY_COUNT 1

/* Every family as X(language file, prefix, count), in the order the
** language files hold them. */
#define MESSAGE_KEY_FAMILIES(X)                                                   \
  X(COMMAND_LANG_NAME, "ufusr_", UFUSR_KEY_COUNT)                                 \
  X(COMMAND_LANG_NAME, "did_you_kno_", DID_YOU_KNO_KEY_COUNT)                     \
  X(COMMAND_LANG_NAME, "select_al_", SELECT_AL_KEY_COUNT)                         \
  X(COMMAND_LANG_NAME, "check_mc_", CHECK_MC_KEY_COUNT)                           \
  X(COMMAND_LANG_NAME, "ok_cb_", OK_CB_KEY_COUNT)                                 \
  X(COMMAND_LANG_NAME, "post_pro_", POST_PRO_KEY_COUNT)                           \
  X(COMMAND_LANG_NAME, "import_prog_dra_", IMPORT_PROG_DRA_KEY_COUNT)             \
  X(COMMAND_LANG_NAME, "import_prog_dra_1_", IMPORT_PROG_DRA_1_KEY_COUNT)         \
  X(COMMAND_LANG_NAME, "prog_d_not_", PROG_D_NOT_KEY_COUNT)                       \
  X(COMMAND_LANG_NAME, "create_modl_vie_", CREATE_MODL_VIE_KEY_COUNT)             \
  X(COMMAND_LANG_NAME, "import_vie_", IMPORT_VIE_KEY_COUNT)                       \
  X(COMMAND_LANG_NAME, "create_mcs_ori_poin_", CREATE_MCS_ORI_POIN_KEY_COUNT)     \
  X(COMMAND_LANG_NAME, "analy_elec_top_wc_", ANALY_ELEC_WC_KEY_COUNT)             \
  X(COMMAND_LANG_NAME, "analy_elec_front_wc_", ANALY_ELEC_WC_KEY_COUNT)           \
  X(COMMAND_LANG_NAME, "analy_elec_right_wc_", ANALY_ELEC_WC_KEY_COUNT)           \
  X(MY_FUNC_LANG_NAME, "read_config_value_", READ_CONFIG_VALUE_KEY_COUNT)         \
  X(MY_FUNC_LANG_NAME, "read_config_value_char_", READ_CONFIG_VALUE_CHAR_KEY_COUNT) \
  X(MY_FUNC_LANG_NAME, "MY_select_screen_view_soli_", MY_SELECT_SCREEN_VIEW_SOLI_KEY_COUNT)

#endif
