10 print "a"; b$ : ? x
20 list
30 data x, "y"
