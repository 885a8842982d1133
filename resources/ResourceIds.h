#pragma once
/* Resource ids of the executables. Plain macros: the resource compiler reads this file too. */

/* Every picture but the icon is embedded five times: as drawn for 100 % under the id below, and
   as drawn for 125, 150, 175 and 200 % (scale index 1 to 4, files scaled/<name>@<percent>) under
   ART_ID(id, index). rt::ArtResourceId picks the id for a window's scale. In a scaled picture
   every length of the 100 % design is scaled to whole pixels, halves to even (rt::ArtLength);
   the pieces of a strip or skin stay packed side by side, each piece scaled on its own:
   - strips of N frames: N frames of ArtLength(frame width) each;
   - text-link strips: three frames of ArtLength(4), then the one extra column;
   - tab skins: the one-pixel background column, three cells of ArtLength(cell width), four
     close glyphs of ArtLength(12); magenta stays exactly 0xFF00FF;
   - updater progress skin: left cap ArtLength(3), middle ArtLength(2), right cap ArtLength(3),
     empty track ArtLength(2), ArtLength(10) high;
   - the frame skin and the pictures without pieces: ArtLength of each size. */
#define ART_ID(id, index) ((id) + 1000 * (index))

/* Program icon (icon group) of both executables: 16 (8 and 32 bits), 20, 24, 32, 40, 48, 64 and
   256 pixels. */
#define IDI_PROGRAM 1

/* Custom resources of Corvane.exe. */
#define IDP_LOGIN_BG 101  /* "PNG": login background, 888 x 518 */
#define IDP_SPLASH 102    /* "PNG": splash, 356 x 122 */
#define IDR_ICON_FILE 101 /* "ICON": the icon file written out as vld.ico */
#define IDR_UPDATER 101   /* "UPDATE": the updater executable */

/* Bitmaps of Corvane.exe. */
#define IDB_CAPTION_MIN 101    /* 72 x 18, three frames */
#define IDB_CAPTION_MINMAX 102 /* 150 x 18, six frames: maximise, then restore */
#define IDB_CAPTION_CLOSE 103  /* 129 x 18, three frames */
#define IDB_CAPTION_TOOL 104   /* 72 x 18, three frames */
#define IDB_LOGO 105           /* 29 x 29 */
#define IDB_TAB_SKIN0 106      /* 415 x 25, trapezoid tabs */
#define IDB_TAB_SKIN1 107      /* 421 x 28, rounded tabs */
#define IDB_FRAME_SKIN 108     /* 94 x 85, caption strip and window border */
#define IDB_GAMESPACE_STRIP 201 /* 13 x 22, three frames */
#define IDB_GAMESPACE_ICON 202  /* 16 x 22 */
#define IDB_OTHERUSER_STRIP 203 /* 13 x 22, three frames */
#define IDB_OTHERUSER_ICON 204  /* 13 x 22 */
#define IDB_YESNO_STRIP 205     /* 225 x 22, three frames */

/* Bitmaps of Update.exe. */
#define IDB_UPDATER_PROGRESS 101 /* 10 x 10: columns 0-7 filled, 8-9 empty */
#define IDB_UPDATER_CLOSE 103    /* 129 x 18, three frames */
