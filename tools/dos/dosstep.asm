; DOSSTEP.COM - a 16-bit DOS step program, run inside DOSBox.
;
; Keeps the contract of every step program: started in the output directory
; with the parameter file's name as its first argument ("last.xml"; without
; an argument LAST.XML is read), it copies the file of every
; <File_NNNN>path</File_NNNN> entry to WORKOUT\FILNNNN.DS1 and appends a line
; per file to WORKOUT\<system name>.LOG (when the system name of the file is
; a DOS file name of at most eight characters; DOS makes it upper case):
;
;   DOSSTEP FIL0000 -> FIL0000.DS1
;   DOSSTEP FIL0001 missing input
;   DOSSTEP FIL0003 skipped
;
; Paths may use "/" or "\" as separator. The parameter file is read as a
; stream, so no line is too long for it; an entry whose path is longer than
; PATH_MAX characters or whose number has more than five digits is skipped
; ("skipped"). Files are copied in chunks of COPY_SIZE bytes, so any size
; works. The same lines go to standard output.
;
; Exit status: 0 all copied, 1 some entry failed, 2 no parameter file.
;
; Build: nasm -f bin -o DOSSTEP.COM dosstep.asm

        cpu     8086
        org     100h

PATH_MAX        equ     127             ; longest input path taken
XML_SIZE        equ     512             ; read buffer of the parameter file
COPY_SIZE       equ     16384           ; chunk of a file copy
NAME_MAX        equ     63              ; longest parameter file name
DIGITS_FIT      equ     5               ; FIL + 5 digits still fits 8.3
DIGITS_KEPT     equ     8               ; digits kept for the report

start:
        cld
        call    take_argument
        mov     dx, xml_name
        mov     ax, 3D00h               ; open, read only
        int     21h
        jnc     .opened
        mov     dx, msg_no_xml
        call    print_z
        mov     al, 2
        jmp     quit
.opened:
        mov     [xml_handle], ax

; Scanning the parameter file. Every byte that is not part of a <File_NNNN>
; tag passes through dispatch, which also watches for the system name.
scan:
        call    getc
        jc      finish
dispatch:
        call    watch_system_name
        cmp     al, '<'
        jne     scan
        mov     si, tag_file            ; "File_"
.tag:
        call    getc
        jc      finish
        cmp     byte [si], 0
        je      .number
        cmp     al, [si]
        jne     dispatch                ; another element: look at this byte again
        inc     si
        jmp     .tag

; The digits of the entry become the internal name FILNNNN.
.number:
        mov     byte [entry_bad], 0
        mov     di, out_name + 3
        xor     bx, bx                  ; digits seen
.digit:
        cmp     al, '0'
        jb      .digits_end
        cmp     al, '9'
        ja      .digits_end
        cmp     bx, DIGITS_FIT
        jb      .keep_digit
        mov     byte [entry_bad], 1
        cmp     bx, DIGITS_KEPT
        jae     .next_digit
.keep_digit:
        stosb
.next_digit:
        inc     bx
        call    getc
        jc      finish
        jmp     .digit
.digits_end:
        cmp     al, '>'
        jne     dispatch
        or      bx, bx
        jz      scan                    ; <File_> without a number
        mov     [name_end], di

; The path up to the next "<", separators made DOS ones.
        mov     di, in_path
        xor     cx, cx
.path:
        call    getc
        jc      finish
        cmp     al, '<'
        je      .path_end
        cmp     al, '/'
        jne     .keep
        mov     al, '\'
.keep:
        cmp     cx, PATH_MAX
        jae     .path_too_long
        stosb
        inc     cx
        jmp     .path
.path_too_long:
        mov     byte [entry_bad], 1
        jmp     .path
.path_end:
        mov     byte [di], 0
        or      cx, cx
        jnz     .have_path
        mov     byte [entry_bad], 1
.have_path:
        push    ax
        call    copy_entry
        pop     ax
        jmp     dispatch

finish:
        mov     bx, [xml_handle]
        mov     ah, 3Eh                 ; close
        int     21h
        mov     al, [exit_code]
quit:
        mov     ah, 4Ch
        int     21h

; ---------------------------------------------------------------------------
; take_argument: the first word of the command tail becomes xml_name;
; without one the name stays LAST.XML.
take_argument:
        mov     si, 81h
        mov     cl, [80h]
        xor     ch, ch
.skip:
        jcxz    .done
        lodsb
        dec     cx
        cmp     al, ' '
        je      .skip
        cmp     al, 9
        je      .skip
        cmp     al, 0Dh
        je      .done
        mov     di, xml_name
        mov     bx, NAME_MAX
.copy:
        stosb
        dec     bx
        jz      .end
        jcxz    .end
        lodsb
        dec     cx
        cmp     al, ' '
        je      .end
        cmp     al, 9
        je      .end
        cmp     al, 0Dh
        jne     .copy
.end:
        mov     byte [di], 0
.done:
        ret

; ---------------------------------------------------------------------------
; getc: the next byte of the parameter file in AL; carry set at its end.
; Keeps every other register.
getc:
        push    bx
        push    cx
        push    dx
        mov     bx, [xml_pos]
        cmp     bx, [xml_len]
        jb      .have
        mov     ah, 3Fh                 ; read
        mov     bx, [xml_handle]
        mov     cx, XML_SIZE
        mov     dx, xml_buffer
        int     21h
        jc      .end
        or      ax, ax
        jz      .end
        mov     [xml_len], ax
        xor     bx, bx
.have:
        mov     al, [xml_buffer + bx]
        inc     bx
        mov     [xml_pos], bx
        clc
        jmp     .out
.end:
        mov     word [xml_len], 0
        mov     word [xml_pos], 0
        stc
.out:
        pop     dx
        pop     cx
        pop     bx
        ret

; ---------------------------------------------------------------------------
; watch_system_name: fed every scanned byte (AL, kept). After the word
; SystemName it reads  = "NAME"  and, when NAME is a usable DOS name of one
; to eight characters, makes WORKOUT\NAME.LOG the log file. Only the first
; SystemName counts.
watch_system_name:
        cmp     byte [system_done], 0
        jne     .ret
        push    ax
        push    bx
        mov     bx, [system_match]
        cmp     al, [word_system + bx]
        jne     .miss
        inc     bx
        mov     [system_match], bx
        cmp     byte [word_system + bx], 0
        jne     .out
        mov     byte [system_done], 1
        call    read_system_name
        jmp     .out
.miss:
        xor     bx, bx
        cmp     al, [word_system]
        jne     .store
        inc     bx
.store:
        mov     [system_match], bx
.out:
        pop     bx
        pop     ax
.ret:
        ret

read_system_name:
        push    di
        push    cx
.before:
        call    getc
        jc      .fail
        cmp     al, ' '
        je      .before
        cmp     al, '='
        je      .before
        cmp     al, 9
        je      .before
        cmp     al, '"'
        jne     .fail
        mov     di, log_name
        xor     cx, cx
.char:
        call    getc
        jc      .fail
        cmp     al, '"'
        je      .end
        cmp     cx, 8
        jae     .fail
        call    dos_name_char
        jc      .fail
        stosb
        inc     cx
        jmp     .char
.end:
        jcxz    .fail
        mov     si, ext_log
        call    copy_z                  ; ".LOG", 0
        mov     byte [log_wanted], 1
.fail:
        pop     cx
        pop     di
        ret

; dos_name_char: carry clear when AL may stand in a DOS file name (letters
; are made upper case).
dos_name_char:
        cmp     al, 'a'
        jb      .not_lower
        cmp     al, 'z'
        ja      .not_lower
        sub     al, 'a' - 'A'
        clc
        ret
.not_lower:
        cmp     al, '0'
        jb      .special
        cmp     al, '9'
        jbe     .ok
        cmp     al, 'A'
        jb      .special
        cmp     al, 'Z'
        jbe     .ok
.special:
        push    di
        push    cx
        mov     di, name_specials
        mov     cx, name_specials_len
        repne   scasb
        pop     cx
        pop     di
        jne     .bad
.ok:
        clc
        ret
.bad:
        stc
        ret

; ---------------------------------------------------------------------------
; copy_entry: copies in_path to WORKOUT\FILNNNN.DS1 (out_name holds FIL and
; the digits up to name_end) and reports the outcome.
copy_entry:
        mov     di, [name_end]
        mov     si, ext_result
        call    copy_z                  ; ".DS1", 0
        cmp     byte [entry_bad], 0
        je      .open_input
        mov     si, msg_skipped
        jmp     .failed
.open_input:
        mov     dx, in_path
        mov     ax, 3D00h
        int     21h
        jnc     .input_open
        mov     si, msg_missing
        jmp     .failed
.input_open:
        mov     [in_handle], ax
        mov     dx, out_path
        mov     ah, 3Ch                 ; create or truncate
        xor     cx, cx
        int     21h
        jnc     .output_open
        call    close_input
        mov     si, msg_no_write
        jmp     .failed
.output_open:
        mov     [out_handle], ax
.chunk:
        mov     ah, 3Fh
        mov     bx, [in_handle]
        mov     cx, COPY_SIZE
        mov     dx, copy_buffer
        int     21h
        jc      .copy_failed
        or      ax, ax
        jz      .copied
        mov     cx, ax
        mov     ah, 40h                 ; write
        mov     bx, [out_handle]
        int     21h
        jc      .copy_failed
        cmp     ax, cx
        jne     .copy_failed
        jmp     .chunk
.copied:
        call    close_both
        mov     si, msg_arrow
        call    start_report
        mov     si, out_name
        call    copy_z
        mov     si, crlf
        call    copy_z
        jmp     report
.copy_failed:
        call    close_both
        mov     si, msg_no_write
.failed:
        mov     byte [exit_code], 1
        call    start_report
        jmp     report

close_both:
        mov     bx, [out_handle]
        mov     ah, 3Eh
        int     21h
close_input:
        mov     bx, [in_handle]
        mov     ah, 3Eh
        int     21h
        ret

; start_report: line = "DOSSTEP FILNNNN" followed by the text at SI; DI is
; left at the end of the line for more text.
start_report:
        push    si
        mov     di, line
        mov     si, msg_step
        call    copy_z
        mov     si, out_name
.name:
        lodsb
        cmp     al, '.'
        je      .name_end
        stosb
        jmp     .name
.name_end:
        pop     si
        jmp     copy_z

; report: the line (ended by a zero at DI) goes to standard output and is
; appended to the log file when there is one.
report:
        mov     cx, di
        sub     cx, line
        mov     bx, 1
        mov     dx, line
        mov     ah, 40h
        int     21h
        cmp     byte [log_wanted], 0
        je      .done
        push    cx
        mov     dx, log_path
        mov     ax, 3D01h               ; open, write only
        int     21h
        jnc     .open
        mov     dx, log_path
        mov     ah, 3Ch
        xor     cx, cx
        int     21h
        jc      .no_log
.open:
        mov     bx, ax
        mov     ax, 4202h               ; to the end
        xor     cx, cx
        xor     dx, dx
        int     21h
        pop     cx
        mov     dx, line
        mov     ah, 40h
        int     21h
        mov     ah, 3Eh
        int     21h
        ret
.no_log:
        pop     cx
.done:
        ret

; copy_z: copies the zero-ended text at SI to DI, zero included; DI is left
; on the zero.
copy_z:
        lodsb
        stosb
        or      al, al
        jnz     copy_z
        dec     di
        ret

; print_z: the zero-ended text at DX to standard output.
print_z:
        mov     si, dx
        xor     cx, cx
.count:
        lodsb
        or      al, al
        jz      .write
        inc     cx
        jmp     .count
.write:
        mov     bx, 1
        mov     ah, 40h
        int     21h
        ret

; ---------------------------------------------------------------------------
xml_name        db      "LAST.XML", 0
                times NAME_MAX + 1 - ($ - xml_name) db 0
tag_file        db      "File_", 0
word_system     db      "SystemName", 0
name_specials   db      "_-$~!#%&@^{}'`()"
name_specials_len equ   $ - name_specials
ext_result      db      ".DS1", 0
ext_log         db      ".LOG", 0
msg_step        db      "DOSSTEP ", 0
msg_arrow       db      " -> ", 0
msg_missing     db      " missing input", 13, 10, 0
msg_no_write    db      " cannot write its result", 13, 10, 0
msg_skipped     db      " skipped", 13, 10, 0
msg_no_xml      db      "DOSSTEP: no parameter file", 13, 10, 0
crlf            db      13, 10, 0
out_path        db      "WORKOUT\"
out_name        db      "FIL"
                times DIGITS_KEPT + 5 db 0
log_path        db      "WORKOUT\"
log_name        times 8 + 5 db 0
exit_code       db      0
system_done     db      0
log_wanted      db      0
entry_bad       db      0
system_match    dw      0
xml_pos         dw      0
xml_len         dw      0

        section .bss
xml_handle      resw    1
in_handle       resw    1
out_handle      resw    1
name_end        resw    1
line            resb    64
in_path         resb    PATH_MAX + 1
xml_buffer      resb    XML_SIZE
copy_buffer     resb    COPY_SIZE
