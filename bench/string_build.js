function run(n) {
    var check = 0;
    var line = "";
    for (var i = 0; i < n; i++) {
        line += "<" + i + ":" + (i % 13) + ">";
        if (line.length > 200) {
            check = (check + line.length + line.charCodeAt(i % 50)) % 1000003;
            line = "";
        }
    }
    return check + line.length;
}
print(run(SIZE));
