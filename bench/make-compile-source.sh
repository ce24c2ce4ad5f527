#!/bin/sh
# Writes a large generated program for the compile benchmark: COUNT small
# functions of 13 lines each and a last line that calls one of them.
#   usage: make-compile-source.sh kls|js|lua COUNT
kind=$1
count=$2
awk -v kind="$kind" -v count="$count" 'BEGIN {
    for (i = 0; i < count; i++) {
        if (kind == "lua") {
            printf "function f%d(a, b)\n    local x = a + %d\n    local y = b * 2\n", i, i
            printf "    if x > y then\n        x = x - y\n    else\n        y = y - x\n    end\n"
            printf "    for i = 0, 2 do\n        x = x + i\n    end\n    return x + y\nend\n"
        } else {
            printf "function f%d(a, b) {\n    var x = a + %d;\n    var y = b * 2;\n", i, i
            printf "    if (x > y) {\n        x = x - y;\n    } else {\n        y = y - x;\n    }\n"
            printf "    for (var i = 0; i < 3; i++) {\n        x += i;\n    }\n    return x + y;\n}\n"
        }
    }
    last = count - 1
    if (kind == "lua") printf "print(f%d(5, 7))\n", last
    else printf "%s(f%d(5, 7));\n", kind == "kls" ? "trace" : "print", last
}'
