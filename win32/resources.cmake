# resource embedding
