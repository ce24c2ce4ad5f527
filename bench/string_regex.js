function run(n) {
    var check = 0;
    var digits = /\d+/g;
    var costs = /costs 4/;
    for (var i = 0; i < n; i++) {
        var line = "item" + i + " costs " + (i * 7 % 100) + " units";
        check += line.replace(digits, "#").length;
        check += line.split(" ").length;
        if (costs.test(line)) check += 5;
        check += line.toUpperCase().indexOf("UNITS");
        check += line.substring(2, 6).length;
        check = check % 1000003;
    }
    return check;
}
print(run(SIZE));
