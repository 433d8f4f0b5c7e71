kzvEnd: 1
};
