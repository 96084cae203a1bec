/*
** module.cpp: the loadable module.  Its only export, ufusr, is defined in
** command/ufusr.cpp and pulled in whole from ncsheet_core.
*/
