/* Two FDC files: the first with 4 procedure, 2 call, 3 block and 8
 * condition branches, the second with one procedure branch only. */
_QBC_DECLARE(1,0x00ABCUL,0x12UL,4,_QBC_TAB_PROC(1),2,_QBC_TAB_CALL(1),3,_QBC_TAB_BLOC(1),8,_QBC_TAB_COND(1))
_QBC_DECLARE(2,0x5UL,0x0UL,1,_QBC_TAB_PROC(2),0,0,0,0,0,0)
