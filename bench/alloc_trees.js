function make(depth) {
    if (depth == 0) return {left: null, right: null};
    return {left: make(depth - 1), right: make(depth - 1)};
}
function count(t) {
    if (t.left == null) return 1;
    return 1 + count(t.left) + count(t.right);
}
function run(n) {
    var keep = make(12);
    var check = 0;
    for (var i = 0; i < n; i++) {
        check += count(make(8));
        var a = [i, i + 1, "x" + i];
        check = (check + a.length + a[2].length) % 1000003;
    }
    return check + count(keep);
}
print(run(SIZE));
