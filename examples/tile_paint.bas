10 REM The tile-paint demonstration: a picture, a tile cut from its corner, two boxes filled with it
20 REM and the drawing shown through the work page and the doubled pages.
30 PICTURE (0, 0), "TILE_TEST.bmp"
40 TILE (0, 0)-(7, 7)
50 X = 10: Y = 10
60 GOSUB 1000
70 SHOWPAGE
80 SHOWDOUBLE
90 X = 100: Y = 100
100 GOSUB 1000
110 SHOWDOUBLE
120 END
1000 REM A white box around (X, Y), 50 pixels wide, filled with the tile.
1010 LINE (X - 1, Y - 1)-(X + 50, Y + 50), 7, B
1020 PAINT (X, Y), TILE, 7
1030 RETURN
