function run(n) {
    var points = [];
    for (var k = 0; k < 16; k++) points.push({x: k, y: k * 2, z: 1, w: 0});
    var check = 0;
    for (var i = 0; i < n; i++) {
        var p = points[i % 16];
        p.x = (p.x + p.y + i) % 1000;
        p.y = (p.y + p.z) % 777;
        p.w = p.x - p.y;
        check = (check + p.w + p.z) % 1000003;
    }
    return check;
}
print(run(SIZE));
