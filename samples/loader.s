; A BASIC line that loads at $1C01 (a VIC-20 style start): not a start
; line at $0801, so it is listed without a SYS line and never rewritten.
        .word $1C01
        .org  $1C01
        .word next
        .word 10
        .byte $9E, "7181", 0
next:   .word 0
        rts
