10 REM A harbour at night: text, lines, circles and tile paint on the 640 x 400 screen.
20 CLS
30 REM The sky: a tile of dark blue with scattered white stars (planes: blue, red, green per row).
40 S$ = CHR$(&HFF) + CHR$(0) + CHR$(0)
50 S$ = S$ + CHR$(&HFF) + CHR$(0) + CHR$(0)
60 S$ = S$ + CHR$(&HFF) + CHR$(&H10) + CHR$(&H10)
70 S$ = S$ + CHR$(&HFF) + CHR$(0) + CHR$(0)
80 LINE (0, 0)-(639, 399), 7, B
90 LINE (1, 260)-(638, 260), 7
100 PAINT (320, 100), S$, 7
110 REM The moon.
120 CIRCLE (520, 80), 40, 6
130 PAINT (520, 80), 6
150 REM The sea: stripes of blue and cyan.
160 W$ = CHR$(&HFF) + CHR$(0) + CHR$(0) + CHR$(&HFF) + CHR$(0) + CHR$(&HFF)
170 PAINT (20, 380), W$, 7
175 CIRCLE (520, 300), 36, 6, 3.1416, 6.2832, .25: CIRCLE (520, 300), 28, 6, 3.1416, 6.2832, .2
180 REM A boat: a hull, a mast and a sail.
190 LINE (180, 250)-(340, 250), 2
200 LINE -(310, 275), 2: LINE -(210, 275), 2: LINE -(180, 250), 2
210 PAINT (260, 262), 2
220 LINE (260, 249)-(260, 150), 7
230 LINE (262, 150)-(330, 240), 7: LINE -(262, 240), 7: LINE -(262, 150), 7
240 PAINT (280, 220), 7
250 REM A lighthouse with its beam.
260 LINE (60, 140)-(90, 259), 2, BF
270 LINE (55, 130)-(95, 140), 7, BF
280 FOR I = 0 TO 6 STEP 2: LINE (60, 160 + I * 15)-(90, 165 + I * 15), 7, BF: NEXT
290 PSET (75, 125), 6
300 FOR A = -20 TO 20 STEP 4: LINE (75, 125)-STEP(120, A), 6: NEXT
310 COLOR 6, 1: LOCATE 2, 3: PRINT " TILEBASIC HARBOUR "
320 COLOR 7, 1: LOCATE 24, 3: PRINT "The moon is at"; POINT(520, 80); "and the sea at"; POINT(20, 380)
330 END
